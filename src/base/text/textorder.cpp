#include "base/text/textorder.h"

#include <algorithm>
#include <QLocale>

namespace {

// Moves the surrogates above the rest of the Basic Multilingual Plane, so code units compare as the
// code points they belong to.
char16_t codePointRank(char16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return static_cast<char16_t>(unit + 0x2000);
    if (unit >= 0xE000)
        return static_cast<char16_t>(unit - 0x800);
    return unit;
}

} // namespace

namespace TextOrder {

int compareCodePoints(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y)
            return codePointRank(x) < codePointRank(y) ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QString nameKey(const QString &name)
{
    return name.normalized(QString::NormalizationForm_C);
}

const QCollator &collator()
{
    // Pinned to nl_NL: under the C locale QCollator ignores the numeric mode.
    thread_local const QCollator instance = [] {
        QCollator c(QLocale(QLocale::Dutch, QLocale::Netherlands));
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return instance;
}

int localizedCompare(const QString &a, const QString &b)
{
    return collator().compare(a, b);
}

} // namespace TextOrder
