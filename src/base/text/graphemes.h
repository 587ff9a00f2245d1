#pragma once

#include <QStringView>
#include <QTextBoundaryFinder>

// Walks the user-perceived characters of a text. Names are nearly always Latin, where every code unit
// below the combining marks is a character of its own, so the boundary finder runs only for other texts.
namespace Graphemes {

inline bool isSimple(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x300)
            return false;
    }
    return true;
}

inline char32_t codePointAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i + 1]);
    return c.unicode();
}

// f(start, length, first code point) for each character, in order.
template <typename F> void forEach(QStringView text, F &&f)
{
    if (isSimple(text)) {
        for (qsizetype i = 0; i < text.size(); ++i)
            f(i, qsizetype(1), char32_t(text[i].unicode()));
        return;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= start || end > text.size())
            end = text.size();
        f(start, end - start, codePointAt(text, start));
        start = end;
    }
}

} // namespace Graphemes
