#pragma once

#include <QColor>
#include <QImage>
#include <QQuickItem>
#include <QRect>
#include <QString>
#include <QTest>

// Reading a grabbed picture of the panel: colours at known places, inked text, items by name.
namespace Pictures {

using namespace Qt::StringLiterals;

inline QColor over(const QColor &top, const QColor &bottom)
{
    const double a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

inline bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// Pixels inside rect clearly brighter than the dark surfaces: drawn text. Faint text needs a lower
// threshold.
inline int inked(const QImage &image, const QRect &rect, int threshold = 110)
{
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y).lightness() > threshold;
    return count;
}

// The visible item of that object name under root, depth first.
inline QQuickItem *find(QQuickItem *root, const QString &name)
{
    if (!root || !root->isVisible())
        return nullptr;
    if (root->objectName() == name)
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = find(child, name))
            return found;
    }
    return nullptr;
}

// The visible item under root that shows exactly this text, depth first.
inline QQuickItem *findText(QQuickItem *root, const QString &text)
{
    if (!root || !root->isVisible())
        return nullptr;
    if (root->property("text").toString() == text)
        return root;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findText(child, text))
            return found;
    }
    return nullptr;
}

inline QRect sceneRect(const QQuickItem *item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height())).toAlignedRect();
}

} // namespace Pictures

#define COMPARE_COLOR(image, point, expected, tolerance)                                                     \
    do {                                                                                                     \
        const QColor got_ = (image).pixelColor(point);                                                       \
        QVERIFY2(Pictures::near(got_, expected, tolerance),                                                  \
                 qPrintable(u"at %1,%2: got %3, expected about %4"_s.arg((point).x())                        \
                                .arg((point).y())                                                            \
                                .arg(got_.name(), QColor(expected).name())));                                \
    } while (false)
