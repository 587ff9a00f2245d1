#include "ui/windowgesture.h"

#include <QCoreApplication>
#include <QQuickItem>
#include <QQuickWindow>

namespace WindowGesture {

QEvent::Type startedType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool start(QQuickItem *item, Qt::Edges edges)
{
    QQuickWindow *window = item ? item->window() : nullptr;
    if (!window)
        return false;
    if (!(edges ? window->startSystemResize(edges) : window->startSystemMove()))
        return false;
    QEvent started(startedType());
    QCoreApplication::sendEvent(window, &started);
    return true;
}

} // namespace WindowGesture
