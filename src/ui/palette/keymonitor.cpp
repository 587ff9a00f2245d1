#include "ui/palette/keymonitor.h"

#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>

KeyMonitor::KeyMonitor(QQuickItem *view, Handler handler, QObject *parent)
    : QObject(parent), m_view(view), m_handler(std::move(handler))
{
    connect(view, &QQuickItem::windowChanged, this, &KeyMonitor::follow);
    follow(view->window());
}

KeyMonitor::~KeyMonitor()
{
    follow(nullptr);
}

void KeyMonitor::follow(QQuickWindow *window)
{
    if (window == m_window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
}

bool KeyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || watched != m_window || !m_view || !m_handler)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    return m_handler(key->key(), key->modifiers(), key->text(), key->isAutoRepeat());
}
