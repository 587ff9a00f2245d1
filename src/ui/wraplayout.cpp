#include "ui/wraplayout.h"

#include <algorithm>

QSizeF WrapLayout::measure(const QList<QSizeF> &sizes, double maxWidth, double spacing, double lineSpacing)
{
    double x = 0, y = 0, lineHeight = 0, widest = 0;
    for (const QSizeF &size : sizes) {
        double gap = x > 0 ? spacing : 0;
        if (x > 0 && x + spacing + size.width() > maxWidth) {
            y += lineHeight + lineSpacing;
            x = 0;
            lineHeight = 0;
            gap = 0;
        }
        x += gap + size.width();
        widest = std::max(widest, x);
        lineHeight = std::max(lineHeight, size.height());
    }
    return {std::min(maxWidth, widest), y + lineHeight};
}

QList<QPointF> WrapLayout::place(const QList<QSizeF> &sizes, const QRectF &bounds, double spacing,
                                 double lineSpacing)
{
    QList<QPointF> places;
    places.reserve(sizes.size());
    double x = bounds.left(), y = bounds.top(), lineHeight = 0;
    for (const QSizeF &size : sizes) {
        if (x > bounds.left() && x + spacing + size.width() > bounds.right()) {
            y += lineHeight + lineSpacing;
            x = bounds.left();
            lineHeight = 0;
        }
        if (x > bounds.left())
            x += spacing;
        places << QPointF(x, y);
        x += size.width();
        lineHeight = std::max(lineHeight, size.height());
    }
    return places;
}

WrapLayout::WrapLayout(QQuickItem *parent) : QQuickItem(parent) {}

void WrapLayout::setSpacing(double spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    Q_EMIT spacingChanged();
    polish();
}

void WrapLayout::setLineSpacing(double lineSpacing)
{
    if (lineSpacing == m_lineSpacing)
        return;
    m_lineSpacing = lineSpacing;
    Q_EMIT lineSpacingChanged();
    polish();
}

void WrapLayout::itemChange(ItemChange change, const ItemChangeData &data)
{
    if (change == ItemChildAddedChange) {
        QQuickItem *child = data.item;
        connect(child, &QQuickItem::implicitWidthChanged, this, &QQuickItem::polish);
        connect(child, &QQuickItem::implicitHeightChanged, this, &QQuickItem::polish);
        connect(child, &QQuickItem::visibleChanged, this, &QQuickItem::polish);
        polish();
    } else if (change == ItemChildRemovedChange) {
        disconnect(data.item, nullptr, this, nullptr);
        polish();
    }
    QQuickItem::itemChange(change, data);
}

void WrapLayout::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.width() != oldGeometry.width())
        polish();
}

// Hidden children and helpers without a size of their own (a Repeater) take no place in the flow.
QList<QQuickItem *> WrapLayout::laidOut() const
{
    QList<QQuickItem *> items;
    for (QQuickItem *child : childItems()) {
        if (child->isVisible() && (child->implicitWidth() > 0 || child->implicitHeight() > 0))
            items << child;
    }
    return items;
}

void WrapLayout::updatePolish()
{
    // Hidden along with a screen that is not on show, every child reads as hidden too: the layout keeps
    // its places and height until it shows again, or the screen around it would shrink meanwhile and
    // scroll back to somewhere else.
    if (!isVisible())
        return;
    const QList<QQuickItem *> items = laidOut();
    QList<QSizeF> sizes;
    for (QQuickItem *item : items)
        sizes << QSizeF(item->implicitWidth(), item->implicitHeight());
    setImplicitWidth(measure(sizes, unbounded, m_spacing, m_lineSpacing).width());
    const double available = width() > 0 ? width() : unbounded;
    setImplicitHeight(measure(sizes, available, m_spacing, m_lineSpacing).height());
    const QList<QPointF> places = place(sizes, QRectF(0, 0, available, 0), m_spacing, m_lineSpacing);
    for (qsizetype i = 0; i < items.size(); ++i) {
        items[i]->setPosition(places[i]);
        items[i]->setSize(sizes[i]);
    }
}
