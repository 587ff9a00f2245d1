#pragma once

#include <optional>
#include <QRect>

class QWindow;

// Where the window manager has put a window, asked of the X server. Qt's own record of a window's
// position is only as good as the events it was sent: a reparenting window manager can leave it at the
// spot inside its frame where the window sat while it was still being placed.
namespace X11WindowFrame {

// True where frame() answers: on X11 with a display.
bool available();

// The window's outer frame (the window manager's borders included, per _NET_FRAME_EXTENTS) in Qt's
// global coordinates. Nullopt off X11, for a window without a native window, before the window and its
// frame are mapped (while the window manager is still placing them), or when the server cannot say.
std::optional<QRect> frame(QWindow *window);

} // namespace X11WindowFrame
