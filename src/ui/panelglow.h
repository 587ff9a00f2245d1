#pragma once

#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// The faint warm glow from above the palette's search row, painted once per size into an image. A
// shape in its place is repainted over the whole panel on every frame by the software renderer, even
// when nothing of it changed, so any small change elsewhere cost a full repaint.
class PanelGlow : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit PanelGlow(QQuickItem *parent = nullptr);

    void paint(QPainter *painter) override;
};
