#include "app/probes/probetext.h"

#include "app/connectiontext.h"

using namespace Qt::StringLiterals;

namespace ProbeText {

QString left(const QString &text, int width)
{
    return text.leftJustified(width, u' ', false);
}

QString right(qint64 number, int width)
{
    return QString::number(number).rightJustified(width, u' ', false);
}

QString quoted(const QString &text)
{
    return ConnectionText::quoted(text);
}

QString textList(const QStringList &texts)
{
    QStringList items;
    items.reserve(texts.size());
    for (const QString &text : texts)
        items.append(quoted(text));
    return u"["_s + items.join(u", "_s) + u"]"_s;
}

QString numberList(const QList<int> &numbers)
{
    QStringList items;
    items.reserve(numbers.size());
    for (const int number : numbers)
        items.append(QString::number(number));
    return u"["_s + items.join(u", "_s) + u"]"_s;
}

QString truth(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

QString count(qint64 number, const QString &one, const QString &many)
{
    return QString::number(number) + u' ' + (number == 1 ? one : many);
}

} // namespace ProbeText
