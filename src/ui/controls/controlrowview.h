#pragma once

#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"
#include "ui/controls/controlrow.h"

#include <optional>
#include <QString>
#include <QStringList>
#include <QVariantList>

class GuardGate;
class LevelCoalescer;

// Everything the strip draws for one row, decided here so the view only lays it out. Built fresh from
// the current device whenever anything it reads changes; two views compare equal when the row would
// look the same.
struct ControlRowView {
    ControlRow::Kind kind = ControlRow::Kind::Toggle;
    QString rowId;
    QString capability;
    QString title;
    bool focused = false;
    bool focusable = false;
    // Takes input at all: false for readings, and for a bar whose range cannot be mapped.
    bool enabled = false;
    // Switch on, lock locked, media playing, alarm armed, bar lit.
    bool on = false;
    QString stateText;
    QString symbol;
    // A bar's fill (0...1), a thermostat's target in degrees.
    double value = 0;
    bool bar = false;
    QString readout;
    QString detail;
    // "warm", "temperature", "hue", "saturation" or "neutral"; with the hue the tint or swatch uses.
    QString tint;
    double tintHue = 0;
    double swatchSaturation = 1;
    QString buttonText;
    bool hasButton = false;
    // What the thermostat's step buttons say to a screen reader.
    QString lowerText;
    QString raiseText;
    // The button waits for its second press.
    bool armed = false;
    bool prominent = false;
    // Sensor chips (id, title, value) or alarm-mode chips (id, title, text, current, cursor, armed,
    // accessibleValue, accessibleHint).
    QVariantList chips;
    // Key caps shown on the focused row.
    QStringList keyHints;
    QString accessibleName;
    QString accessibleValue;
    QString accessibleHint;

    // What a press of the row's button or switch writes, and to which capability.
    std::optional<QString> pressCapability;
    std::optional<CapabilityValue> pressValue;
    // The capability a drag of the row's bar writes.
    std::optional<QString> barCapability;

    bool operator==(const ControlRowView &) const = default;

    // gate and coalescer may be null: then nothing is armed and no drag is pending.
    static ControlRowView make(const Device &device, const ControlRow &row, bool focused,
                               const GuardGate *gate, const LevelCoalescer *coalescer);
};
