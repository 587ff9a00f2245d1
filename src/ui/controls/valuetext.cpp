#include "ui/controls/valuetext.h"

#include <algorithm>
#include <cmath>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

const QString unknown = u"-"_s;

const QLocale &dutch()
{
    static const QLocale locale(QLocale::Dutch, QLocale::Netherlands);
    return locale;
}

} // namespace

QString ValueText::percent(double fraction)
{
    const double hundredths = std::round(fraction * 100);
    if (!std::isfinite(hundredths) || std::abs(hundredths) > 1e15)
        return unknown;
    return QString::number(qint64(hundredths)) + u'%';
}

QString ValueText::celsius(double degrees)
{
    const QString text = number(degrees, 1);
    return text == unknown ? unknown : text + u" °C"_s;
}

QString ValueText::number(double value, int digits)
{
    if (!std::isfinite(value))
        return unknown;
    // A hub may send any count of decimals; more than a handful says nothing.
    return dutch().toString(value, 'f', std::clamp(digits, 0, 6));
}

QString ValueText::value(const Capability &capability)
{
    if (!capability.value)
        return unknown;
    const CapabilityValue &value = *capability.value;
    if (const auto on = value.boolValue())
        return *on ? u"aan"_s : u"uit"_s;
    if (const auto text = value.stringValue())
        return *text;
    const auto n = value.numberValue();
    if (!n)
        return unknown;
    const QString units = capability.units.value_or(QString());
    if (units == u"%" && (!capability.max || *capability.max <= 1))
        return percent(*n);
    const int digits = capability.decimals.value_or(*n == std::trunc(*n) ? 0 : 1);
    const QString text = number(*n, digits);
    if (text == unknown || units.isEmpty())
        return text;
    return text + u' ' + units;
}
