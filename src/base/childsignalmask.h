#pragma once

#include <csignal>

// The signal mask the programs we start get. The process blocks the signals it reads itself; a program
// that inherited that block (an opener, the file manager it starts, a detached helper) could never be
// stopped with SIGTERM or Ctrl+C. Every program we start gets the mask the process started with instead.
namespace ChildSignalMask {

// Blocks the signals in the calling thread, and so in every thread it starts later, and keeps the mask
// it had before as the one children get. First thing in main, before any thread exists; later calls
// block the signals but keep the first mask.
void blockInProcess(const sigset_t &signals);

// Sets the calling thread's mask to the one children get: nothing blocked until blockInProcess() ran.
// Async-signal-safe, for a child between fork and exec. Every fork() runs it in its child; a child
// that QProcess::start makes does not run fork handlers, so its starter names this as the child's
// modifier.
void restoreInChild();

} // namespace ChildSignalMask
