#pragma once

#include <functional>
#include <QString>

// Hands a path to the desktop's opener (xdg-open) and waits for its verdict. QDesktopServices only
// knows whether the opener started, and xdg-open starts fine on a desktop where it then finds no way
// to open anything: only its exit status tells.
namespace DesktopOpener {

// Called once the opener has ended: empty when it took the path, else why not (its last line on
// standard error, or why it did not start). Not called while the opener keeps running, nor when the
// application object goes first and ends it.
using Done = std::function<void(const QString &failure)>;

void open(const QString &program, const QString &path, Done done);

} // namespace DesktopOpener
