#pragma once

#include <QString>

// The program from its first instruction to its exit status.
namespace ProcessEntry {

// Answers "--help"/"-h", keeps one normal copy per user (a second start shows the first one's panel and
// exits), and runs the event loop until SIGTERM or SIGINT.
int run(int argc, char **argv);

// Where a picture of the panel goes: next to the log, named after the test id in an isolated run.
QString snapshotPath();

} // namespace ProcessEntry
