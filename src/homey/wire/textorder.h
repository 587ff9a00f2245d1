#pragma once

#include <QString>
#include <QStringView>

// Plain text order: by Unicode code points, case-sensitive, no locale. QString's own compare goes by
// UTF-16 code units, which puts characters beyond U+FFFF before U+E000..U+FFFF.
namespace TextOrder {

int compareCodePoints(QStringView a, QStringView b);
inline bool codePointLess(QStringView a, QStringView b)
{
    return compareCodePoints(a, b) < 0;
}

// The key under which names are compared: canonical composition, so "é" and "e" + accent are one name.
QString nameKey(const QString &name);

} // namespace TextOrder
