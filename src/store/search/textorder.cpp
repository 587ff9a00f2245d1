#include "store/search/textorder.h"

#include <QLocale>

namespace {

// UTF-16 order puts U+E000..U+FFFF after the surrogates; code point order puts them before.
char16_t codePointRank(char16_t unit)
{
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    if (unit >= 0xD800)
        return char16_t(unit + 0x2000);
    return unit;
}

} // namespace

namespace TextOrder {

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

bool codePointLess(const QString &a, const QString &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y)
            return codePointRank(x) < codePointRank(y);
    }
    return a.size() < b.size();
}

} // namespace TextOrder
