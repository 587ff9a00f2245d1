#pragma once

class QWindow;

// Window-manager hints that Qt has no setting for.
namespace X11WindowState {

// Keeps the window out of the taskbar and the pager. Call it before every show: a window manager drops
// the hint when the window is hidden. Does nothing off X11.
void skipTaskbar(QWindow *window);

} // namespace X11WindowState
