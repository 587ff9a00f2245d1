#pragma once

// The threads of this library that belong to no object: the settings worker and the shared log's
// writer. A thread of ours still at work while the process takes Qt down (a line half formatted, a file
// half written) crashes it at exit, so they stop in order before the application object goes.
namespace WorkerThreads {

// Writes the settings still waiting, stops the settings worker, then writes the log's last lines and
// stops its writer. Settings and lines that come later are written on the caller's thread. Safe to call
// more than once and from any thread but those two.
void stop();

// Makes the application object's destruction call stop(), and the process's exit too, for a run that
// never makes one. Once is enough; later calls do nothing.
void stopWithApplication();

} // namespace WorkerThreads
