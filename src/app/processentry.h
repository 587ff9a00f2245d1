#pragma once

// The program from its first instruction to its exit status.
namespace ProcessEntry {

// Answers "--help"/"-h", keeps one normal copy per user (a second start shows the first one's panel and
// exits), and runs the application until SIGTERM or SIGINT.
int run(int argc, char **argv);

} // namespace ProcessEntry
