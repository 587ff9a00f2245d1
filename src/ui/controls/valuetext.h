#pragma once

#include "homey/model/capability.h"

#include <QString>

// Dutch texts of values the strip shows. A number that cannot be shown reads "-", never "nan".
namespace ValueText {

// 0.456 reads "46%".
QString percent(double fraction);
// 21.46 reads "21,5 °C".
QString celsius(double degrees);
// The number with exactly digits fraction digits, Dutch grouping and decimal comma.
QString number(double value, int digits);
// The display value of a capability: "aan", "45%", "21,5 °C", a text, or "-".
QString value(const Capability &capability);

} // namespace ValueText
