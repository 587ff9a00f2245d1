#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

struct Capability;

// Dutch value formatting with a fixed nl_NL locale, whatever the process locale is.
namespace Fmt {

const QLocale &nl();

// The magnitude in whole watts, grouped: -12345.6 gives "12.346 W".
QString watt(double watts);
// A fraction as a whole per cent without a space: 0.456 gives "46%".
QString percent(double fraction);
// Exactly digits fraction digits (limited to 0...12), Dutch grouping and decimal comma: "1.234,50".
QString number(double value, int digits);
// One fraction digit: 21 gives "21,0°".
QString degrees(double value);
// One fraction digit and a spaced unit: 21.46 gives "21,5 °C".
QString celsius(double value);
// A notification's time stamp: the time today, weekday and time within a week, else day and month.
QString clock(const QDateTime &date, const QDateTime &now);
// The display value of a capability: "aan", "uit", "-", the text, or the number with its units.
QString value(const Capability &capability);

} // namespace Fmt
