#include "ui/glowbarlook.h"

#include "ui/theme.h"

#include <algorithm>
#include <cmath>
#include <QVariantMap>

namespace {

double unit(double v)
{
    return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
}

QList<QColor> gradient(const GlowBarLook::Tint &tint)
{
    using Kind = GlowBarLook::Tint::Kind;
    switch (tint.kind) {
    case Kind::warm:
        return {Theme::litDeep(), Theme::lit(), Theme::litSoft()};
    case Kind::temperature:
        return {Theme::lit(), Theme::litSoft(), QColor::fromRgbF(0.95f, 0.95f, 0.95f),
                QColor::fromRgbF(0.72f, 0.84f, 1.0f)};
    case Kind::hue: {
        QList<QColor> wheel;
        for (int i = 0; i <= 6; ++i)
            wheel << QColor::fromHsvF(float(i % 6) / 6.0f, 0.75f, 1.0f);
        return wheel;
    }
    case Kind::saturation:
        return {QColor::fromRgbF(0.55f, 0.55f, 0.55f), QColor::fromHsvF(float(unit(tint.hue)), 1.0f, 1.0f)};
    case Kind::neutral:
        return {Theme::textFaint(), Theme::textDim()};
    }
    return {};
}

} // namespace

GlowBarLook GlowBarLook::make(double value, Tint tint, bool glows, bool scrubbable)
{
    using Kind = Tint::Kind;
    GlowBarLook look;
    look.value = unit(value);
    look.showsBackdrop =
        tint.kind == Kind::temperature || tint.kind == Kind::hue || tint.kind == Kind::saturation;
    const QList<QColor> colours = gradient(tint);
    look.stopColors.clear();
    look.stopPositions.clear();
    for (int i = 0; i < stopCount; ++i) {
        const int own = std::min<int>(i, int(colours.size()) - 1);
        look.stopColors << colours[own];
        look.stopPositions << (i < colours.size() ? double(i) / double(colours.size() - 1) : 1.0);
    }
    if (look.value > 0 && glows) {
        if (tint.kind == Kind::warm || tint.kind == Kind::temperature)
            look.glowColor = Theme::fade(Theme::lit(), 0.45);
        else if (tint.kind == Kind::hue || tint.kind == Kind::saturation)
            look.glowColor = Theme::fade(Theme::litSoft(), 0.45);
    }
    if (!look.glowColor.isValid())
        look.glowColor = Qt::transparent;
    look.scrubbable = scrubbable;
    return look;
}

double GlowBarLook::fillWidth(double width, double height) const
{
    if (value <= 0)
        return 0;
    return std::max(height, width * value);
}

QVariantList GlowBarLook::fillStops(double part) const
{
    const double end = unit(part);
    const auto stop = [](double position, const QColor &color) {
        return QVariantMap{{QStringLiteral("position"), position}, {QStringLiteral("color"), color}};
    };
    QVariantList stops;
    if (end <= 0) {
        while (stops.size() < stopCount)
            stops << stop(1, stopColors.first().value<QColor>());
        return stops;
    }
    // The bar's colour where the fill ends, between the two stops around it.
    QColor endColor = stopColors.last().value<QColor>();
    for (int i = 0; i < stopCount; ++i) {
        const double at = stopPositions[i].toDouble();
        const QColor color = stopColors[i].value<QColor>();
        if (at <= end) {
            stops << stop(at / end, color);
            continue;
        }
        const double before = stopPositions[i - 1].toDouble();
        const QColor from = stopColors[i - 1].value<QColor>();
        const double t = (end - before) / (at - before);
        endColor = QColor::fromRgbF(float(from.redF() + (color.redF() - from.redF()) * t),
                                    float(from.greenF() + (color.greenF() - from.greenF()) * t),
                                    float(from.blueF() + (color.blueF() - from.blueF()) * t),
                                    float(from.alphaF() + (color.alphaF() - from.alphaF()) * t));
        break;
    }
    while (stops.size() < stopCount)
        stops << stop(1, endColor);
    return stops;
}

double GlowBarLook::scrubFraction(double x, double width) const
{
    // A bar of a pixel or less has no room for a fraction: the position itself is the level.
    return unit(width > 1 ? x / width : x);
}
