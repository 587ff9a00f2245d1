#include "app/connectiontext.h"

using namespace Qt::StringLiterals;

namespace ConnectionText {

QString quoted(const QString &text)
{
    QString out = u"\""_s;
    out.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += u"\\\""_s;
            break;
        case u'\\':
            out += u"\\\\"_s;
            break;
        case u'\n':
            out += u"\\n"_s;
            break;
        case u'\r':
            out += u"\\r"_s;
            break;
        case u'\t':
            out += u"\\t"_s;
            break;
        case u'\0':
            out += u"\\0"_s;
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += u"\\u{"_s + QString::number(c.unicode(), 16) + u"}"_s;
            else
                out += c;
        }
    }
    return out + u"\""_s;
}

QString plain(const ConnectionState &state)
{
    switch (state.kind()) {
    case ConnectionState::Kind::loading:
        return u"bezig met laden: "_s + quoted(state.text());
    case ConnectionState::Kind::degraded:
        return u"niet live: "_s + quoted(state.text());
    case ConnectionState::Kind::failed:
        return u"mislukt: "_s + quoted(state.text()) + u", "_s + quoted(state.hint());
    case ConnectionState::Kind::idle:
        return u"niet verbonden"_s;
    case ConnectionState::Kind::connecting:
        return u"bezig met verbinden"_s;
    case ConnectionState::Kind::live:
        return u"live"_s;
    }
    return u"niet verbonden"_s;
}

QString summary(const ConnectionState &state, bool connectsToHomey)
{
    if (!connectsToHomey)
        return u"Gestart met --no-homey, geen verbinding."_s;
    switch (state.kind()) {
    case ConnectionState::Kind::loading:
        return state.text();
    case ConnectionState::Kind::degraded:
        return u"Niet live: "_s + state.text();
    case ConnectionState::Kind::failed:
        return state.text() + u" "_s + state.hint();
    case ConnectionState::Kind::idle:
        return u"Nog niet verbonden."_s;
    case ConnectionState::Kind::connecting:
        return u"Verbinden…"_s;
    case ConnectionState::Kind::live:
        return u"Live verbonden."_s;
    }
    return u"Nog niet verbonden."_s;
}

} // namespace ConnectionText
