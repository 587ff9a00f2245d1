#include "ui/windowedges.h"

namespace WindowEdges {

Qt::Edges at(QPointF point, QSizeF size)
{
    const double x = point.x();
    const double y = point.y();
    if (x < 0 || y < 0 || x >= size.width() || y >= size.height())
        return {};
    const bool left = x < band;
    const bool right = !left && x >= size.width() - band;
    const bool top = y < band;
    const bool bottom = !top && y >= size.height() - band;
    const bool onSide = left || right;
    const bool onTopOrBottom = top || bottom;
    Qt::Edges edges;
    if (left || (onTopOrBottom && x < corner))
        edges |= Qt::LeftEdge;
    else if (right || (onTopOrBottom && x >= size.width() - corner))
        edges |= Qt::RightEdge;
    if (top || (onSide && y < corner))
        edges |= Qt::TopEdge;
    else if (bottom || (onSide && y >= size.height() - corner))
        edges |= Qt::BottomEdge;
    return edges;
}

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    const bool horizontal = edges.testAnyFlags(Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges.testAnyFlags(Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        // Top-left and bottom-right share the falling diagonal.
        const bool falling = edges.testFlag(Qt::LeftEdge) == edges.testFlag(Qt::TopEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace WindowEdges
