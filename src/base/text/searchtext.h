#pragma once

#include <QString>
#include <QStringList>

// Turns names and typed queries into comparable words.
namespace SearchText {

// Case, accents and character width folded away; blanks, punctuation and digits stay.
QString fold(const QString &text);

// Splits at lower-to-upper case and letter/number borders; upper-case runs stay together.
QStringList splitCamel(const QString &word);

// The folded words of a text, split on everything that is neither a letter nor a number and on camel case.
QStringList tokens(const QString &text);

// A word of tokens() beside the piece of text it was folded from: "²" folds to "2" but was not typed
// as a digit.
struct Word {
    QString folded;
    QString typed;
};
QList<Word> words(const QString &text);

// Bits 0-25 for a-z, 26-35 for 0-9, bit 63 for any other character.
quint64 mask(const QStringList &tokens);

} // namespace SearchText
