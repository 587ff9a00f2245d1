#pragma once

#include <QColor>
#include <QObject>
#include <QtQmlIntegration>
#include <QVariantList>

// A thin capsule level bar for a value 0...1, filled with a gradient that says what the level means.
struct GlowBarLook {
    Q_GADGET
    QML_VALUE_TYPE(glowBarLook)
    Q_PROPERTY(double value MEMBER value CONSTANT)
    Q_PROPERTY(bool showsBackdrop MEMBER showsBackdrop CONSTANT)
    Q_PROPERTY(QVariantList stopColors MEMBER stopColors CONSTANT)
    Q_PROPERTY(QVariantList stopPositions MEMBER stopPositions CONSTANT)
    Q_PROPERTY(QColor glowColor MEMBER glowColor CONSTANT)
    Q_PROPERTY(bool scrubbable MEMBER scrubbable CONSTANT)

public:
    // What the level means: saturation of a hue (0...1), brightness, colour temperature, hue, or nothing.
    struct Tint {
        enum class Kind { saturation, warm, temperature, hue, neutral };
        Kind kind = Kind::warm;
        double hue = 0; // saturation only

        static Tint saturation(double hue) { return {Kind::saturation, hue}; }
        static Tint warm() { return {Kind::warm, 0}; }
        static Tint temperature() { return {Kind::temperature, 0}; }
        static Tint hueWheel() { return {Kind::hue, 0}; }
        static Tint neutral() { return {Kind::neutral, 0}; }

        bool operator==(const Tint &) const = default;
    };

    // Gradients have at most this many stops; shorter ones repeat their last colour at the end.
    static constexpr int stopCount = 7;

    // value is clamped to 0...1; scrubbable: the owner takes drags on the bar.
    static GlowBarLook make(double value, Tint tint = Tint::warm(), bool glows = true,
                            bool scrubbable = false);

    // Width of the fill in a bar of the given size: empty at 0, never thinner than a round dot.
    Q_INVOKABLE double fillWidth(double width, double height) const;
    // The level under the pointer at x in a bar of the given width.
    Q_INVOKABLE double scrubFraction(double x, double width) const;
    // The gradient of a fill that covers the leading part (0...1) of the bar, as stopCount stops
    // ({position, color}) over the fill's own width: the fill shows the colours of the levels it spans.
    Q_INVOKABLE QVariantList fillStops(double part) const;

    bool operator==(const GlowBarLook &) const = default;

    double value = 0;
    bool showsBackdrop = false;
    QVariantList stopColors = QVariantList(stopCount, QVariant::fromValue(QColor(Qt::transparent)));
    QVariantList stopPositions = QVariantList(stopCount, 1.0);
    QColor glowColor;
    bool scrubbable = false;
};
