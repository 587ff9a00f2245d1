#include "base/text/searchtext.h"

#include "base/text/graphemes.h"

using namespace Qt::StringLiterals;

namespace {

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

struct CharClass {
    bool letter = false;
    bool number = false;
    bool lower = false;
    bool upper = false;

    explicit CharClass(char32_t c)
        : letter(QChar::isLetter(c)), number(QChar::isNumber(c)), lower(QChar::isLower(c)),
          upper(QChar::isUpper(c))
    {}
};

bool isCamelBorder(const CharClass &p, const CharClass &c)
{
    return (p.lower && c.upper) || (p.letter && c.number) || (p.number && c.letter);
}

// Calls piece(start, end) for each camel-case piece of text; with splitOnSeparators, characters that are
// neither letters nor numbers end a piece and belong to none.
template <typename F> void splitPieces(QStringView text, F &&piece, bool splitOnSeparators)
{
    qsizetype start = -1;
    CharClass previous(U' ');
    Graphemes::forEach(text, [&](qsizetype pos, qsizetype, char32_t first) {
        const CharClass current(first);
        if (splitOnSeparators && !current.letter && !current.number) {
            if (start >= 0)
                piece(start, pos);
            start = -1;
            return;
        }
        if (start >= 0 && isCamelBorder(previous, current)) {
            piece(start, pos);
            start = pos;
        }
        if (start < 0)
            start = pos;
        previous = current;
    });
    if (start >= 0)
        piece(start, text.size());
}

} // namespace

namespace SearchText {

QString fold(const QString &text)
{
    // The hot case: plain ASCII names fold to their lower case.
    if (isAscii(text))
        return text.toLower();

    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size();) {
        const char32_t c = Graphemes::codePointAt(decomposed, i);
        const qsizetype width = c > 0xFFFF ? 2 : 1;
        if (QChar::category(c) != QChar::Mark_NonSpacing)
            stripped.append(decomposed.constData() + i, width);
        i += width;
    }
    QString folded = stripped.toCaseFolded();
    // Simple case folding keeps the sharp s; the full folding writes it as "ss".
    folded.replace(u'ß', u"ss"_s);
    return folded;
}

QStringList splitCamel(const QString &word)
{
    QStringList result;
    splitPieces(
        word, [&](qsizetype start, qsizetype end) { result.append(word.mid(start, end - start)); }, false);
    return result;
}

QStringList tokens(const QString &text)
{
    QStringList result;
    splitPieces(
        text,
        [&](qsizetype start, qsizetype end) {
            QString folded = fold(text.mid(start, end - start));
            if (!folded.isEmpty())
                result.append(std::move(folded));
        },
        true);
    return result;
}

QList<Word> words(const QString &text)
{
    QList<Word> result;
    splitPieces(
        text,
        [&](qsizetype start, qsizetype end) {
            QString typed = text.mid(start, end - start);
            QString folded = fold(typed);
            if (!folded.isEmpty())
                result.append({std::move(folded), std::move(typed)});
        },
        true);
    return result;
}

quint64 mask(const QStringList &tokens)
{
    quint64 bits = 0;
    for (const QString &token : tokens) {
        for (qsizetype i = 0; i < token.size();) {
            const char32_t c = Graphemes::codePointAt(token, i);
            i += c > 0xFFFF ? 2 : 1;
            if (c >= U'a' && c <= U'z')
                bits |= quint64(1) << (c - U'a');
            else if (c >= U'0' && c <= U'9')
                bits |= quint64(1) << (c - U'0' + 26);
            else
                bits |= quint64(1) << 63;
        }
    }
    return bits;
}

} // namespace SearchText
