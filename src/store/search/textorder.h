#pragma once

#include <QCollator>
#include <QString>

// The two name orders the home uses.
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

// Plain Unicode code point order, case-sensitive ('Zomer' before 'avond').
bool codePointLess(const QString &a, const QString &b);

} // namespace TextOrder
