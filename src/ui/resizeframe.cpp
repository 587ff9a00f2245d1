#include "ui/resizeframe.h"

#include "ui/windowedges.h"
#include "ui/windowgesture.h"

#include <QCursor>

ResizeFrame::ResizeFrame(QQuickItem *parent) : QQuickItem(parent)
{
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
}

bool ResizeFrame::contains(const QPointF &point) const
{
    return WindowEdges::at(point, size()) != Qt::Edges();
}

void ResizeFrame::hoverEnterEvent(QHoverEvent *event)
{
    showCursorAt(event->position());
}

void ResizeFrame::hoverMoveEvent(QHoverEvent *event)
{
    showCursorAt(event->position());
}

void ResizeFrame::mousePressEvent(QMouseEvent *event)
{
    const Qt::Edges edges = WindowEdges::at(event->position(), size());
    // Where the window system cannot resize (no window manager, the offscreen platform), the press goes
    // on to what lies under the edge.
    if (event->button() != Qt::LeftButton || !edges || !WindowGesture::start(this, edges)) {
        event->ignore();
        return;
    }
    event->accept();
}

void ResizeFrame::showCursorAt(QPointF point)
{
    setCursor(WindowEdges::cursorFor(WindowEdges::at(point, size())));
}
