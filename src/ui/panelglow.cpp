#include "ui/panelglow.h"

#include "ui/theme.h"

#include <QPainter>
#include <QRadialGradient>

PanelGlow::PanelGlow(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void PanelGlow::paint(QPainter *painter)
{
    const QPointF centre(width() / 2, -0.08 * height());
    QRadialGradient gradient(centre, Theme::panelGlowRadius, centre);
    gradient.setColorAt(0, Theme::fade(Theme::lit(), 0.055));
    gradient.setColorAt(1, Theme::fade(Theme::lit(), 0));
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(QRectF(0, 0, width(), height()), gradient);
}
