#include "ui/hovergate.h"

#include <cmath>
#include <utility>

namespace {

// A hand resting on the mouse jitters by a pixel or two.
constexpr double slack = 2;

} // namespace

void HoverGate::reset(QPointF pointer)
{
    m_origin = pointer;
    m_moved = false;
    m_fromMouse = false;
}

bool HoverGate::admitHover(QPointF pointer)
{
    if (!m_moved)
        m_moved =
            std::abs(pointer.x() - m_origin.x()) > slack || std::abs(pointer.y() - m_origin.y()) > slack;
    if (!m_moved)
        return false;
    m_fromMouse = true;
    return true;
}

bool HoverGate::takeFromMouse()
{
    return std::exchange(m_fromMouse, false);
}
