#include "ui/tileglow.h"

#include "ui/theme.h"

#include <algorithm>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

TileGlow::TileGlow(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void TileGlow::setStretch(double stretch)
{
    if (qFuzzyCompare(stretch, m_stretch))
        return;
    m_stretch = stretch;
    update();
    Q_EMIT stretchChanged();
}

void TileGlow::paint(QPainter *painter)
{
    const double w = width();
    const double h = height();
    const QPointF centre(w / 2, 1.18 * h);
    QRadialGradient gradient(centre, 0.9 * h, centre);
    gradient.setColorAt(0, Theme::fade(Theme::lit(), 0.85));
    gradient.setColorAt(0.45, Theme::fade(Theme::lit(), 0.18));
    gradient.setColorAt(0.72, Theme::fade(Theme::lit(), 0));
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0, 0, w, h), Theme::radiusTile / std::max(m_stretch, 1e-6),
                         Theme::radiusTile);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawPath(plate);
}
