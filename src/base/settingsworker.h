#pragma once

#include <functional>
#include <QString>

class QSettings;

// The thread that writes settings files, so that the main thread never waits for the disk. Jobs run one
// at a time in the order they were posted. Started with the first job; never stopped.
namespace SettingsWorker {

void post(std::function<void()> job);

// On the worker only: the settings of the file at path, opened once and kept open.
QSettings &settings(const QString &path);

} // namespace SettingsWorker
