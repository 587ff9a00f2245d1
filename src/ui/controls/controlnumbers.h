#pragma once

#include "homey/model/device.h"

#include <optional>
#include <QString>

// Maps a capability's value onto a bar and back. A bound or value that is not a finite number counts as
// absent, so nothing the hub sends turns into a NaN on screen or on the wire.
namespace ControlNumbers {

// The value's place in the capability's range (min or 0 up to max or 1), limited to 0...1; none without
// a number value or with a range that is empty.
std::optional<double> fraction(const Device &device, const QString &capabilityID);
// The place of any value in the capability's range, as fraction() finds it for the current one.
std::optional<double> place(const Device &device, const QString &capabilityID, double value);
// Whether fractions can be mapped onto the capability's range at all.
bool hasRange(const Device &device, const QString &capabilityID);
// The value at this place of the range; the fraction is limited to 0...1 first.
double denormalise(const Device &device, double fraction, const QString &capabilityID);
// The value limited to the capability's min and max, where present.
double clampToRange(const Device &device, double value, const QString &capabilityID);
// The number with its decimals and units when it has units other than "%", else the fraction as a
// percentage. shown stands in for the capability's value while a drag has not reached the store yet.
QString readout(const Device &device, const QString &capabilityID, double fraction,
                std::optional<double> shown = std::nullopt);
// The number value of the capability, when it is a finite number.
std::optional<double> number(const Device &device, const QString &capabilityID);

} // namespace ControlNumbers
