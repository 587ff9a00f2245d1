#include "homey/wire/homeydate.h"

#include <QDate>

namespace {

// The hub writes plain ASCII digits; QChar::isDigit would also take other scripts' digits.
bool digitsAt(QStringView text, qsizetype at, qsizetype count, int &out)
{
    if (at + count > text.size())
        return false;
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
    }
    out = value;
    return true;
}

// A numeric offset from UTC: "+HH:MM", "+HHMM" or "+HH", and nothing after it. Seconds east of UTC.
std::optional<int> offsetAt(QStringView text, qsizetype at)
{
    if (at >= text.size() || (text[at] != u'+' && text[at] != u'-'))
        return std::nullopt;
    const int sign = text[at] == u'-' ? -1 : 1;
    int hours = 0;
    int minutes = 0;
    if (!digitsAt(text, at + 1, 2, hours))
        return std::nullopt;
    qsizetype end = at + 3;
    if (end < text.size()) {
        if (text[end] == u':')
            ++end;
        if (!digitsAt(text, end, 2, minutes))
            return std::nullopt;
        end += 2;
    }
    if (end != text.size() || hours > 23 || minutes > 59)
        return std::nullopt;
    return sign * (hours * 3600 + minutes * 60);
}

} // namespace

std::optional<QDateTime> HomeyDate::parse(QStringView text)
{
    // yyyy-MM-ddTHH:mm:ss, then either a fraction or a zone designator.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() < 20 || !digitsAt(text, 0, 4, year) || text[4] != u'-' || !digitsAt(text, 5, 2, month) ||
        text[7] != u'-' || !digitsAt(text, 8, 2, day) || text[10] != u'T' || !digitsAt(text, 11, 2, hour) ||
        text[13] != u':' || !digitsAt(text, 14, 2, minute) || text[16] != u':' ||
        !digitsAt(text, 17, 2, second))
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;

    qsizetype at = 19;
    qint64 nanos = 0;
    int offsetSeconds = 0;
    if (text[at] == u'.') {
        // With a fraction: whatever follows it is read only when it is a numeric offset; the hub's
        // own "Z" and anything else leave the time in UTC.
        ++at;
        const qsizetype start = at;
        while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
            ++at;
        const qsizetype count = at - start;
        if (count < 1 || count > 9)
            return std::nullopt;
        int fraction = 0;
        digitsAt(text, start, count, fraction);
        nanos = fraction;
        for (qsizetype i = count; i < 9; ++i)
            nanos *= 10;
        offsetSeconds = offsetAt(text, at).value_or(0);
    } else if (text[at] == u'Z' && text.size() == at + 1) {
        offsetSeconds = 0;
    } else if (const auto offset = offsetAt(text, at)) {
        offsetSeconds = *offset;
    } else {
        return std::nullopt;
    }

    constexpr qint64 unixEpochJulianDay = 2440588;
    const qint64 seconds = (date.toJulianDay() - unixEpochJulianDay) * 86400 + hour * 3600 + minute * 60 +
                           second - offsetSeconds;
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000 + nanos / 1'000'000, Qt::UTC);
}
