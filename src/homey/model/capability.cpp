#include "homey/model/capability.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int mostDecimals = 12;

// The decimals a grid value needs: 2 for 0.01 and 0.05, 1 for 0.5, at most a dozen.
int decimalsOf(double value)
{
    double scaled = std::abs(value);
    for (int digits = 0; digits < mostDecimals; ++digits, scaled *= 10) {
        if (std::abs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, scaled))
            return digits;
    }
    return mostDecimals;
}

double roundedTo(double value, int digits)
{
    const double scale = std::pow(10.0, digits);
    const double scaled = std::round(value * scale);
    // Too large to carry those decimals in a double anyway.
    if (!std::isfinite(scaled) || std::abs(scaled) > 9e15)
        return value;
    return scaled / scale;
}

} // namespace

QString Capability::Kind::raw() const
{
    switch (value) {
    case boolean:
        return u"boolean"_s;
    case number:
        return u"number"_s;
    case string:
        return u"string"_s;
    case enumeration:
        return u"enum"_s;
    }
    return {};
}

std::optional<Capability::Kind> Capability::Kind::fromRaw(const QString &raw)
{
    for (Value v : {boolean, number, string, enumeration}) {
        if (Kind(v).raw() == raw)
            return Kind(v);
    }
    return std::nullopt;
}

std::optional<QString> Capability::optionTitle() const
{
    if (!value)
        return std::nullopt;
    const auto text = value->stringValue();
    if (!text)
        return std::nullopt;
    for (const Option &option : options) {
        if (option.id == *text)
            return option.title;
    }
    return text;
}

double Capability::onGrid(double number, std::optional<double> step)
{
    if (!std::isfinite(number))
        return number;
    const double unit = step && std::isfinite(*step) && *step > 0 ? *step : 0.01;
    const double steps = std::round(number / unit);
    if (!std::isfinite(steps) || std::abs(steps) > 9e15)
        return number;
    const double result = roundedTo(steps * unit, decimalsOf(unit));
    return result == 0 ? 0.0 : result; // never "-0" on the wire
}

double Capability::writable(double number) const
{
    double result = onGrid(number, step);
    if (max && std::isfinite(*max) && result > *max && number <= *max)
        result = *max;
    if (min && std::isfinite(*min) && result < *min && number >= *min)
        result = *min;
    return result;
}
