#pragma once

#include <QQuickItem>

// The edges of a frameless window as a window manager's frame would have them: over them the pointer
// shows the resize cursor, and a press there hands the resize to the window system. Laid over the
// whole window, it takes the pointer only within the edge band, so what lies under the rest keeps it.
class ResizeFrame : public QQuickItem {
    Q_OBJECT

public:
    explicit ResizeFrame(QQuickItem *parent = nullptr);

    bool contains(const QPointF &point) const override;

protected:
    void hoverEnterEvent(QHoverEvent *event) override;
    void hoverMoveEvent(QHoverEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void showCursorAt(QPointF point);
};
