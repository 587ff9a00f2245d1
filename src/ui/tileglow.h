#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// The light rising from below a room tile: an ellipse of light clipped to the tile's rounded plate,
// drawn narrowed by stretch so that a round gradient becomes a wide one once scaled back. Painted once
// per size: a shape in its place was repainted by the software renderer on every frame.
class TileGlow : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double stretch READ stretch WRITE setStretch NOTIFY stretchChanged)

public:
    explicit TileGlow(QQuickItem *parent = nullptr);

    double stretch() const { return m_stretch; }
    void setStretch(double stretch);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void stretchChanged();

private:
    double m_stretch = 1;
};
