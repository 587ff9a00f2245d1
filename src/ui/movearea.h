#pragma once

#include <optional>
#include <QPointF>
#include <QQuickItem>
#include <QtQmlIntegration>

// A place to take a frameless window by and move it: a drag that starts here hands the move to the
// window system. A press released without dragging is a tap, for the place's own use.
class MoveArea : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit MoveArea(QQuickItem *parent = nullptr);

Q_SIGNALS:
    void tapped();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseUngrabEvent() override;

private:
    // Where the press was, in scene coordinates; none while no press is held.
    std::optional<QPointF> m_pressedAt;
};
