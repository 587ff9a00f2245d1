#include "ui/controls/controlnumbers.h"

#include "ui/fmt.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

std::optional<double> finite(const std::optional<double> &value)
{
    return value && std::isfinite(*value) ? value : std::nullopt;
}

struct Range {
    double lo;
    double hi;
};

Range rangeOf(const Device &device, const QString &capabilityID, double lo, double hi)
{
    const Capability *capability = device.capability(capabilityID);
    if (!capability)
        return {lo, hi};
    return {finite(capability->min).value_or(lo), finite(capability->max).value_or(hi)};
}

double limit(double fraction)
{
    // Also takes NaN to 0.
    return fraction > 1 ? 1 : (fraction > 0 ? fraction : 0);
}

} // namespace

std::optional<double> ControlNumbers::number(const Device &device, const QString &capabilityID)
{
    const Capability *capability = device.capability(capabilityID);
    if (!capability || !capability->value)
        return std::nullopt;
    return finite(capability->value->numberValue());
}

bool ControlNumbers::hasRange(const Device &device, const QString &capabilityID)
{
    const Range range = rangeOf(device, capabilityID, 0, 1);
    return range.lo < range.hi && std::isfinite(range.hi - range.lo);
}

std::optional<double> ControlNumbers::fraction(const Device &device, const QString &capabilityID)
{
    const std::optional<double> value = number(device, capabilityID);
    return value ? place(device, capabilityID, *value) : std::nullopt;
}

std::optional<double> ControlNumbers::place(const Device &device, const QString &capabilityID, double value)
{
    if (!std::isfinite(value) || !hasRange(device, capabilityID))
        return std::nullopt;
    const Range range = rangeOf(device, capabilityID, 0, 1);
    return limit((value - range.lo) / (range.hi - range.lo));
}

double ControlNumbers::denormalise(const Device &device, double fraction, const QString &capabilityID)
{
    const Range range = rangeOf(device, capabilityID, 0, 1);
    return range.lo + limit(fraction) * (range.hi - range.lo);
}

double ControlNumbers::clampToRange(const Device &device, double value, const QString &capabilityID)
{
    const Range range = rangeOf(device, capabilityID, std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::max());
    if (value <= range.lo)
        return range.lo;
    return value > range.hi ? range.hi : value;
}

QString ControlNumbers::readout(const Device &device, const QString &capabilityID, double fraction,
                                std::optional<double> shown)
{
    const Capability *capability = device.capability(capabilityID);
    const std::optional<double> value = shown ? shown : number(device, capabilityID);
    const QString units = capability ? capability->units.value_or(QString()) : QString();
    if (value && !units.isEmpty() && units != u"%")
        return Fmt::number(*value, capability->decimals.value_or(0)) + u' ' + units;
    return Fmt::percent(fraction);
}
