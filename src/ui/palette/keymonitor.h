#pragma once

#include "ui/palette/heldkeys.h"

#include <functional>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>

// Hands every key press of a view's window to a handler before any item of the window sees it, and
// swallows the presses the handler used. It listens exactly while the view is in a window: it follows
// the view into a new window and stops when the view leaves or goes. It also watches the releases, so
// that a press of a key that was never let go reaches the handler as a repeat, however it came.
class KeyMonitor : public QObject {
    Q_OBJECT

public:
    // True when the key was used. autoRepeat: the key is still held, this is no new press by a person.
    using Handler =
        std::function<bool(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool autoRepeat)>;

    KeyMonitor(QQuickItem *view, Handler handler, QObject *parent = nullptr);
    ~KeyMonitor() override;

    QQuickWindow *window() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QQuickWindow *window);

    QPointer<QQuickItem> m_view;
    Handler m_handler;
    QPointer<QQuickWindow> m_window;
    HeldKeys m_held;
};
