#include "ui/movearea.h"

#include "ui/windowgesture.h"

#include <QGuiApplication>
#include <QStyleHints>

MoveArea::MoveArea(QQuickItem *parent) : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
}

void MoveArea::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->scenePosition();
    event->accept();
}

void MoveArea::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressedAt)
        return;
    // A hand that only clicks moves a pixel or two: only a real drag moves the window.
    const QPointF travelled = event->scenePosition() - *m_pressedAt;
    if (travelled.manhattanLength() < QGuiApplication::styleHints()->startDragDistance())
        return;
    m_pressedAt.reset();
    WindowGesture::start(this);
}

void MoveArea::mouseReleaseEvent(QMouseEvent *event)
{
    const bool tap = m_pressedAt.has_value();
    m_pressedAt.reset();
    event->accept();
    if (tap)
        Q_EMIT tapped();
}

void MoveArea::mouseUngrabEvent()
{
    m_pressedAt.reset();
}
