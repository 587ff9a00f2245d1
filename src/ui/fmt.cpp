#include "ui/fmt.h"

#include "homey/model/capability.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace Fmt {

namespace {

// What a figure that is not a number shows, in place of the digits.
const QString noNumber = u"-"_s;

QString fixed(double value, int digits)
{
    if (!std::isfinite(value))
        return noNumber;
    return nl().toString(value, 'f', digits);
}

} // namespace

const QLocale &nl()
{
    static const QLocale locale(QLocale::Dutch, QLocale::Netherlands);
    return locale;
}

QString watt(double watts)
{
    return fixed(std::round(std::abs(watts)), 0) + u" W"_s;
}

QString percent(double fraction)
{
    const double hundredfold = std::round(fraction * 100);
    // Beyond a 64-bit integer (or not a number at all) there is no honest whole percentage.
    if (!std::isfinite(hundredfold) || std::abs(hundredfold) >= 9.2e18)
        return noNumber + u"%"_s;
    return QString::number(qint64(hundredfold)) + u"%"_s;
}

QString number(double value, int digits)
{
    // A hub may send nonsense decimals; never format 2^31 digits.
    return fixed(value, std::clamp(digits, 0, 12));
}

QString degrees(double value)
{
    return fixed(value, 1) + u"°"_s;
}

QString celsius(double value)
{
    return fixed(value, 1) + u" °C"_s;
}

QString clock(const QDateTime &date, const QDateTime &now)
{
    const QDateTime when = date.toLocalTime();
    const QDateTime current = now.toLocalTime();
    if (when.date() == current.date())
        return nl().toString(when.time(), u"HH:mm"_s);
    // Whole days between the two moments: a calendar day counts only once its time of day has passed.
    qint64 days = when.date().daysTo(current.date());
    if (days > 0 && current.time() < when.time())
        --days;
    else if (days < 0 && current.time() > when.time())
        ++days;
    if (days <= 6)
        return nl().toString(when, u"ddd HH:mm"_s);
    return nl().toString(when.date(), u"d MMM"_s);
}

QString value(const Capability &capability)
{
    if (!capability.value)
        return noNumber;
    const CapabilityValue &v = *capability.value;
    if (const auto b = v.boolValue())
        return *b ? u"aan"_s : u"uit"_s;
    if (const auto s = v.stringValue()) {
        // A mode is shown by the name the hub gives it ("Uitgeschakeld"), not by its id ("disarmed").
        for (const Capability::Option &option : capability.options) {
            if (option.id == *s && !option.title.isEmpty())
                return option.title;
        }
        return *s;
    }
    const auto n = v.numberValue();
    if (!n)
        return noNumber;
    const QString units = capability.units.value_or(QString());
    if (units == u"%" && (!capability.max || *capability.max <= 1))
        return percent(*n);
    const int digits = capability.decimals.value_or(*n == std::trunc(*n) ? 0 : 1);
    QString text = number(*n, digits);
    // A per cent sign sits against its number, as every other percentage in the panel does.
    if (units == u"%")
        text += units;
    else if (!units.isEmpty())
        text += u' ' + units;
    return text;
}

} // namespace Fmt
