#include "ui/hovergate.h"

#include <algorithm>
#include <cmath>
#include <QEvent>
#include <QMouseEvent>
#include <QWindow>
#include <utility>

namespace {

// A hand resting on the mouse jitters by a pixel or two.
constexpr double slack = 2;

bool beyondSlack(QPointF from, QPointF to)
{
    return std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y())) > slack;
}

} // namespace

void HoverGate::watch(QWindow *window)
{
    if (window)
        window->installEventFilter(this);
}

void HoverGate::reset()
{
    m_origin.reset();
    m_moved = false;
    m_fromMouse = false;
}

void HoverGate::notePointer(QPointF global, QPointF local)
{
    if (m_moved)
        return;
    if (!m_origin) {
        m_origin = Report{global, local};
        return;
    }
    // A hand that moves the pointer moves it on the screen and in the window alike. Only the place in
    // the window changes when the compositor moves the window under a resting pointer; only the place
    // on the screen when XWayland corrects its stale idea of where the window is.
    m_moved = beyondSlack(m_origin->global, global) && beyondSlack(m_origin->local, local);
}

bool HoverGate::admitHover()
{
    if (!m_moved)
        return false;
    m_fromMouse = true;
    return true;
}

bool HoverGate::takeFromMouse()
{
    return std::exchange(m_fromMouse, false);
}

bool HoverGate::eventFilter(QObject *watched, QEvent *event)
{
    // Moves only: XWayland reports the pointer's entry into a window it has just mapped at its stale idea
    // of where the pointer is, and the move that follows at the real place.
    if (event->type() == QEvent::MouseMove) {
        const auto *pointer = static_cast<const QMouseEvent *>(event);
        notePointer(pointer->globalPosition(), pointer->position());
    }
    return QObject::eventFilter(watched, event);
}
