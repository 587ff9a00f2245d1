#pragma once

#include <optional>
#include <QString>
#include <QStringList>

// Qt's start on the desktop, watched. Without a platform plugin that can reach the desktop (Qt's Wayland
// plugin not installed, a compositor or X server that does not answer) Qt aborts and leaves nothing in
// the log. While watched, that ends the run with a line in the log and failureStatus, as a missing
// display does. Qt's own lines still go to stderr.
namespace PlatformStart {

constexpr int failureStatus = 1;

// From now until started().
void watch();
// The application object exists: the watch ends, and a plugin Qt had to pass over is logged.
void started(const QString &platformName);

// What the log says when Qt could start no platform, from the lines Qt wrote on the way.
QString failureLine(const QStringList &qtLines);
// What it says when Qt passed over a plugin before it found the platform it runs on; nullopt when
// it passed over none.
std::optional<QString> fallbackLine(const QStringList &qtLines, const QString &platformName);

} // namespace PlatformStart
