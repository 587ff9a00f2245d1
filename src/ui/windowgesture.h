#pragma once

#include <QEvent>
#include <Qt>

class QQuickItem;

// A move or resize of a window that the window system carries out while the button is held. It takes
// the pointer for that time, and an X11 window manager also takes the keyboard: the window loses key
// focus until the button comes up.
namespace WindowGesture {

// The event a window is sent once the window system took on a move or resize of it.
QEvent::Type startedType();

// Hands a move (no edges) or a resize from those edges of the item's window to the window system. True
// when it took it on; false where it cannot (no window manager, the offscreen platform).
bool start(QQuickItem *item, Qt::Edges edges = {});

} // namespace WindowGesture
