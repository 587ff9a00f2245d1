#include "base/text/charcodes.h"

#include "base/text/graphemes.h"

namespace {

bool isSingleCodePoint(qsizetype length, char32_t first)
{
    return length == 1 || (length == 2 && first > 0xFFFF);
}

} // namespace

void CharCodes::encode(QStringView text, std::u32string &out)
{
    Graphemes::forEach(text, [&](qsizetype start, qsizetype length, char32_t first) {
        if (isSingleCodePoint(length, first)) {
            out.push_back(first);
            return;
        }
        const QString character = text.sliced(start, length).toString();
        auto it = m_long.constFind(character);
        if (it == m_long.constEnd())
            it = m_long.insert(character, char32_t(0x110000 + m_long.size()));
        out.push_back(*it);
    });
}

void CharCodes::lookup(QStringView text, std::u32string &out) const
{
    Graphemes::forEach(text, [&](qsizetype start, qsizetype length, char32_t first) {
        if (isSingleCodePoint(length, first))
            out.push_back(first);
        else
            out.push_back(m_long.value(text.sliced(start, length).toString(), unknown));
    });
}
