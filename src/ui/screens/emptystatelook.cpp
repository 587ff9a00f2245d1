#include "ui/screens/emptystatelook.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

namespace {

EmptyStateLook make(double symbolSize, const QString &title, const QString &text)
{
    EmptyStateLook look;
    look.symbol = SymbolCatalog::glyph(u"magnifyingglass"_s);
    look.symbolSize = symbolSize;
    look.symbolColor = Theme::fade(Theme::textFaint(), 0.6);
    look.title = title;
    look.text = text;
    look.accessibleName = title + u". "_s + text;
    return look;
}

QString quoted(const QString &text)
{
    return u"\u201c"_s + text + u"\u201d"_s;
}

} // namespace

EmptyStateLook EmptyStateLook::forResults(const QString &query)
{
    return make(20, u"Niets gevonden voor "_s + quoted(query),
                u"Zoek op een kamer, een lamp of een flow. Een getal achter een lamp zet hem meteen op dat "
                u"niveau: \u201cleeslamp 40\u201d."_s);
}

EmptyStateLook EmptyStateLook::forRoom(const QString &roomName, const QString &query)
{
    return make(18, u"Niets in "_s + roomName + u" heet "_s + quoted(query),
                u"Wis wat je typte om alles in deze kamer te zien, of esc om terug te gaan naar het huis."_s);
}
