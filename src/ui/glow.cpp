#include "ui/glow.h"

#include <algorithm>
#include <QPainter>
#include <QRadialGradient>

Glow::Glow(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
    changed();
}

void Glow::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    changed();
}

void Glow::setDiameter(double diameter)
{
    if (diameter == m_diameter)
        return;
    m_diameter = diameter;
    changed();
}

void Glow::setSpread(double spread)
{
    if (spread == m_spread)
        return;
    m_spread = spread;
    changed();
}

void Glow::changed()
{
    const double outer = std::max(0.0, m_diameter / 2 + m_spread);
    setImplicitSize(2 * outer, 2 * outer);
    update();
    Q_EMIT lookChanged();
}

void Glow::paint(QPainter *painter)
{
    const double outer = std::min(width(), height()) / 2;
    if (!(outer > 0))
        return;
    const QPointF centre(width() / 2, height() / 2);
    QRadialGradient gradient(centre, outer, centre);
    gradient.setColorAt(0, m_color);
    gradient.setColorAt(std::clamp(m_diameter / 2 / outer, 0.0, 1.0), m_color);
    gradient.setColorAt(1, Qt::transparent);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawEllipse(centre, outer, outer);
}
