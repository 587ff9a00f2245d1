#include "app/panelplacement.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace PanelPlacement {

namespace {

bool holds(const QRectF &frame, const QPointF &point)
{
    return point.x() >= frame.left() && point.x() < frame.left() + frame.width() &&
           point.y() >= frame.top() && point.y() < frame.top() + frame.height();
}

} // namespace

std::optional<Screen> screenUnder(const QPointF &pointer, const QList<Screen> &screens, int primary)
{
    for (const Screen &screen : screens) {
        if (holds(screen.frame, pointer))
            return screen;
    }
    if (primary >= 0 && primary < screens.size())
        return screens.at(primary);
    if (!screens.isEmpty())
        return screens.constFirst();
    return std::nullopt;
}

QRectF targetFrame(bool offscreen, const std::optional<QRectF> &saved, const std::optional<Screen> &screen)
{
    if (offscreen)
        return QRectF(offscreenOrigin, saved ? saved->size() : defaultSize);
    if (!screen)
        return QRectF(QPointF(0, 0), defaultSize);
    const QRectF v = screen->visible;
    if (saved && saved->intersects(v)) {
        const double w = std::max(saved->width(), minimumSize.width());
        const double h = std::max(saved->height(), minimumSize.height());
        // Pushed inside; applied last, the right and the top edge win over the left and the bottom one.
        const double x = std::min(std::max(saved->x(), v.x()), v.x() + v.width() - w);
        const double y = std::max(std::min(saved->y(), v.y() + v.height() - h), v.y());
        return QRectF(x, y, w, h);
    }
    const double gap = std::max(0.14 * v.height(), 80.0);
    return QRectF(v.x() + v.width() / 2 - defaultSize.width() / 2, v.y() + gap, defaultSize.width(),
                  defaultSize.height());
}

QString rectString(const QRectF &frame)
{
    const auto cut = [](double value) { return QString::number(qint64(value)); };
    return cut(frame.x()) + u","_s + cut(frame.y()) + u" "_s + cut(frame.width()) + u"x"_s +
           cut(frame.height());
}

} // namespace PanelPlacement
