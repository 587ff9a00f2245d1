#include "store/search/textorder.h"

#include <QLocale>

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

} // namespace TextOrder
