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
    m_held.forget();
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
}

bool KeyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        break;
    case QEvent::FocusOut:
    case QEvent::Hide:
        m_held.forget();
        return false;
    default:
        return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    // The scan code names the physical key whatever the modifiers make of it; synthetic events have none.
    const quint64 id =
        key->nativeScanCode() ? quint64(key->nativeScanCode()) << 32 : quint64(uint(key->key()));
    if (event->type() == QEvent::KeyRelease) {
        m_held.release(id, key->timestamp(), key->isAutoRepeat());
        return false;
    }
    const bool fresh = m_held.press(id, key->timestamp(), key->isAutoRepeat());
    if (!m_view || !m_handler)
        return false;
    return m_handler(key->key(), key->modifiers(), key->text(), !fresh);
}
