#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <string>

// Folded words as one code per user-perceived character, so the search compares characters as integers.
// A character of one code point is coded as that code point; longer ones (a letter with a spacing mark,
// Hangul jamo) get codes above U+10FFFF from this table.
class CharCodes {
public:
    // Never produced for the indexed texts: a query character the table has not seen matches nothing.
    static constexpr char32_t unknown = 0xFFFFFFFF;

    // Appends the codes of text, giving a new code to each long character not seen before.
    void encode(QStringView text, std::u32string &out);
    // Appends the codes of text without changing the table.
    void lookup(QStringView text, std::u32string &out) const;

    bool operator==(const CharCodes &) const = default;

private:
    QHash<QString, char32_t> m_long;
};
