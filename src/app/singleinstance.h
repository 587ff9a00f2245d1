#pragma once

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QString>

// One running copy per user: an exclusive lock on the pid file, held for the life of the process.
namespace SingleInstance {

// Either this process goes on as the one copy, or another copy runs under runningPid.
struct Outcome {
    std::optional<qint32> runningPid;
    bool isPrimary() const { return !runningPid; }
};

// $XDG_DATA_HOME/Quorvane/quorvane.pid; creates the folder.
QString pidFileURL();

// Takes the lock on pidFileURL() or names the copy that holds it.
Outcome acquire();
// The same on a given file. A holder that named itself to no one is given `patience` to write its pid.
Outcome acquire(const QString &path, std::chrono::milliseconds patience = std::chrono::milliseconds(250));

// A pid file's content: one positive decimal 32-bit number, white space around it allowed.
std::optional<qint32> pidFrom(const QByteArray &content);

} // namespace SingleInstance
