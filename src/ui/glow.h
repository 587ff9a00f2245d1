#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// A soft round glow: the colour at the core, fading out over spread pixels around a core of the given
// diameter. Stands in for a blurred shadow, which the software renderer cannot draw. Painted into an
// image once per look: a shape drawn through a layer was drawn again on every frame, and cost a dozen
// objects to make in every lit chip and row.
class Glow : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY lookChanged)
    Q_PROPERTY(double diameter READ diameter WRITE setDiameter NOTIFY lookChanged)
    Q_PROPERTY(double spread READ spread WRITE setSpread NOTIFY lookChanged)

public:
    explicit Glow(QQuickItem *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    double diameter() const { return m_diameter; }
    void setDiameter(double diameter);
    double spread() const { return m_spread; }
    void setSpread(double spread);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void lookChanged();

private:
    void changed();

    QColor m_color = Qt::transparent;
    double m_diameter = 6;
    double m_spread = 4;
};
