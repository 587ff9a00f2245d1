#pragma once

#include <optional>
#include <QObject>
#include <QPointF>
#include <QtQmlIntegration>

class QWindow;

// Keeps a resting pointer from taking the selection when the panel opens: a hover may select only once
// the pointer has really moved since the panel was shown. It also remembers whether the latest
// selection change came from the pointer, so lists scroll only for keyboard changes.
//
// Movement is judged from the window system's own reports of the pointer, never from a position worked
// out through where the window is believed to be: a compositor may place the window elsewhere than
// asked, and under XWayland the pointer's place on the screen is stale or off by the window's frame
// until the pointer enters the window.
class HoverGate : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the panel controller")

public:
    using QObject::QObject;

    // Feeds the gate the pointer's moves over this window, from now on.
    void watch(QWindow *window);
    // Every show of the panel: nothing has moved yet; the pointer's next report says where it rests.
    Q_INVOKABLE void reset();
    // One report of the pointer from the window system: its place on the screen and in the window,
    // both as the report gives them.
    void notePointer(QPointF global, QPointF local);
    // A row's hover-enter. True when the hover may select the row; the selection change then counts
    // as coming from the pointer.
    Q_INVOKABLE bool admitHover();
    // Every key the palette sees: the next selection change is the keyboard's.
    Q_INVOKABLE void noteKey() { m_fromMouse = false; }
    // Read and clear by a list's selection watcher: true when the change came from hovering.
    Q_INVOKABLE bool takeFromMouse();

    bool moved() const { return m_moved; }
    bool fromMouse() const { return m_fromMouse; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Report {
        QPointF global;
        QPointF local;
    };
    std::optional<Report> m_origin;
    bool m_moved = false;
    bool m_fromMouse = false;
};
