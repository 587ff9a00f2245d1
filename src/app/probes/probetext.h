#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How the probes write values into their reports: printf-style padding, texts and lists in their
// debug form, truth values as words.
namespace ProbeText {

// "%-<width>@": the text padded with blanks to width characters, never cut.
QString left(const QString &text, int width);
// "%<width>d": the number padded on the left with blanks to width characters.
QString right(qint64 number, int width);
// The text in double quotes, with backslash escapes for quotes, backslashes and control characters.
QString quoted(const QString &text);
// ["a", "b"]: each text quoted.
QString textList(const QStringList &texts);
// [1, 2, 3]
QString numberList(const QList<int> &numbers);
QString truth(bool value);
// "1 run", "2 runs": the number and the noun that goes with it.
QString count(qint64 number, const QString &one, const QString &many);

} // namespace ProbeText
