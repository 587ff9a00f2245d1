#pragma once

#include <QCollator>
#include <QString>
#include <QStringView>

// The two name orders of the program.
namespace TextOrder {

// Plain text order: by Unicode code points, case-sensitive, no locale ('Zomer' before 'avond'). QString's
// own compare goes by UTF-16 code units, which puts characters beyond U+FFFF before U+E000..U+FFFF.
int compareCodePoints(QStringView a, QStringView b);
inline bool codePointLess(QStringView a, QStringView b)
{
    return compareCodePoints(a, b) < 0;
}

// The key under which names are compared: canonical composition, so "é" and "e" + accent are one name.
QString nameKey(const QString &name);

// The file browser's order: case-insensitive, digit runs by numeric value ('Lamp 2' before 'Lamp 10'),
// with Dutch rules whatever the process locale says.
int localizedCompare(const QString &a, const QString &b);
inline bool localizedLess(const QString &a, const QString &b)
{
    return localizedCompare(a, b) < 0;
}

// The collator behind localizedCompare, for sort keys. One per thread: a QCollator may not be shared.
const QCollator &collator();

} // namespace TextOrder
