#pragma once

#include <functional>
#include <QString>

class QSettings;

// The thread that writes settings files, so that the main thread never waits for the disk. Jobs run one
// at a time in the order they were posted. Started with the first job; stopped with the application
// object (WorkerThreads), after which the callers write for themselves.
namespace SettingsWorker {

// False, and job not run, once the worker has stopped.
[[nodiscard]] bool post(std::function<void()> job);

// Runs the jobs posted so far, closes the files it kept open and joins the thread. Later posts are
// refused.
void stop();

// On the worker only: the settings of the file at path, opened once and kept open until the worker stops.
QSettings &settings(const QString &path);

} // namespace SettingsWorker
