#include "ui/keytext.h"

#include <algorithm>
#include <QStringList>
#include <utility>

using namespace Qt::StringLiterals;

namespace KeyText {

QString display(const QString &key)
{
    static const std::pair<QChar, QString> modifiers[] = {
        {QChar(0x2318), u"Ctrl"_s},  // ⌘
        {QChar(0x2325), u"Alt"_s},   // ⌥
        {QChar(0x21e7), u"Shift"_s}, // ⇧
        {QChar(0x2303), u"Meta"_s},  // ⌃
    };
    // The Mac's glyphs for Tab (⇥) and Backspace (⌫) are no Linux key names.
    static const std::pair<QString, QString> names[] = {
        {u"esc"_s, u"Esc"_s},    {u"tab"_s, u"Tab"_s},          {u"space"_s, u"Space"_s},
        {u"\u21e5"_s, u"Tab"_s}, {u"\u232b"_s, u"Backspace"_s},
    };
    QStringList parts;
    qsizetype i = 0;
    for (; i < key.size(); ++i) {
        const auto it = std::find_if(std::begin(modifiers), std::end(modifiers),
                                     [&](const auto &m) { return m.first == key.at(i); });
        if (it == std::end(modifiers))
            break;
        parts << it->second;
    }
    QString rest = key.mid(i);
    for (const auto &[mac, shown] : names) {
        if (rest == mac)
            rest = shown;
    }
    if (!rest.isEmpty())
        parts << rest;
    return parts.join(u'+');
}

} // namespace KeyText
