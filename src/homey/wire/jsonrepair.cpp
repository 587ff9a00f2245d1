#include "homey/wire/jsonrepair.h"

#include <QChar>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The code unit of a "\uXXXX" escape starting at i.
std::optional<char16_t> escapedUnit(QByteArrayView json, qsizetype i)
{
    if (i + 6 > json.size() || json[i] != '\\' || json[i + 1] != 'u')
        return std::nullopt;
    char16_t unit = 0;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const char c = json[k];
        int digit = 0;
        if (isDigit(c))
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        unit = char16_t(unit * 16 + digit);
    }
    return unit;
}

// Whether the integer's digits exceed int64 (negative) or uint64 (positive).
bool overflows(bool negative, QByteArrayView digits)
{
    while (digits.size() > 1 && digits.front() == '0')
        digits = digits.sliced(1);
    const QByteArrayView limit =
        negative ? QByteArrayView("9223372036854775808") : QByteArrayView("18446744073709551615");
    if (digits.size() != limit.size())
        return digits.size() > limit.size();
    return digits.compare(limit) > 0;
}

} // namespace

std::optional<QByteArray> JsonRepair::repaired(QByteArrayView json)
{
    QByteArray out;
    out.reserve(json.size() + 16);
    bool changed = false;
    qsizetype i = 0;
    const qsizetype n = json.size();
    while (i < n) {
        const char c = json[i];
        if (c == '"') {
            out += c;
            ++i;
            while (i < n && json[i] != '"') {
                if (json[i] != '\\' || i + 1 >= n) {
                    out += json[i++];
                    continue;
                }
                const std::optional<char16_t> unit = escapedUnit(json, i);
                if (!unit) {
                    out.append(json.sliced(i, 2));
                    i += 2;
                    continue;
                }
                if (QChar::isHighSurrogate(*unit)) {
                    const std::optional<char16_t> next = escapedUnit(json, i + 6);
                    if (next && QChar::isLowSurrogate(*next)) {
                        out.append(json.sliced(i, 12));
                        i += 12;
                        continue;
                    }
                }
                if (QChar::isHighSurrogate(*unit) || QChar::isLowSurrogate(*unit)) {
                    out += "\\ufffd";
                    changed = true;
                } else {
                    out.append(json.sliced(i, 6));
                }
                i += 6;
            }
            if (i < n)
                out += json[i++];
            continue;
        }
        if (c == '-' || isDigit(c)) {
            const qsizetype start = i;
            if (c == '-')
                ++i;
            const qsizetype digitsStart = i;
            while (i < n && isDigit(json[i]))
                ++i;
            const QByteArrayView digits = json.sliced(digitsStart, i - digitsStart);
            bool integral = true;
            if (i < n && json[i] == '.') {
                integral = false;
                ++i;
                while (i < n && isDigit(json[i]))
                    ++i;
            }
            if (i < n && (json[i] == 'e' || json[i] == 'E')) {
                integral = false;
                ++i;
                if (i < n && (json[i] == '+' || json[i] == '-'))
                    ++i;
                while (i < n && isDigit(json[i]))
                    ++i;
            }
            out.append(json.sliced(start, i - start));
            if (integral && !digits.isEmpty() && overflows(c == '-', digits)) {
                out += ".0";
                changed = true;
            }
            continue;
        }
        out += c;
        ++i;
    }
    if (!changed)
        return std::nullopt;
    return out;
}
