#pragma once

#include "homey/wire/textorder.h"

#include <QCollator>
#include <QString>

// The localized name order; the plain one comes from the wire layer.
namespace TextOrder {

// The collator behind localizedCompare, for sort keys. One per thread: a QCollator may not be shared.
const QCollator &collator();

// The file browser's order: case-insensitive, digit runs by numeric value ('Lamp 2' before 'Lamp 10'),
// with Dutch rules whatever the process locale says.
int localizedCompare(const QString &a, const QString &b);
inline bool localizedLess(const QString &a, const QString &b)
{
    return localizedCompare(a, b) < 0;
}

// Plain Unicode code point order ('Zomer' before 'avond') is codePointLess of the wire layer's TextOrder.

} // namespace TextOrder
