#pragma once

#include <QObject>
#include <QPointF>
#include <QtQmlIntegration>

// Keeps a resting pointer from taking the selection when the panel opens under it: a hover may select
// only once the pointer has really moved since the panel was shown. It also remembers whether the
// latest selection change came from the pointer, so lists scroll only for keyboard changes.
class HoverGate : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the panel controller")

public:
    using QObject::QObject;

    // Every show of the panel: the pointer's place becomes the origin, nothing has moved yet.
    Q_INVOKABLE void reset(QPointF pointer);
    // A row's hover-enter with the pointer's current place (screen coordinates). True when the hover
    // may select the row; the selection change then counts as coming from the pointer.
    Q_INVOKABLE bool admitHover(QPointF pointer);
    // Every key the palette sees: the next selection change is the keyboard's.
    Q_INVOKABLE void noteKey() { m_fromMouse = false; }
    // Read and clear by a list's selection watcher: true when the change came from hovering.
    Q_INVOKABLE bool takeFromMouse();

    bool moved() const { return m_moved; }
    bool fromMouse() const { return m_fromMouse; }

private:
    QPointF m_origin;
    bool m_moved = false;
    bool m_fromMouse = false;
};
