#include "ui/palette/connectionproblemlook.h"

#include "ui/symbolcatalog.h"

using namespace Qt::StringLiterals;

ConnectionProblemLook ConnectionProblemLook::make(const std::optional<QString> &message, bool retrying)
{
    ConnectionProblemLook look;
    look.connecting = !message.has_value();
    look.symbol =
        look.connecting ? SymbolCatalog::glyph(u"house"_s) : SymbolCatalog::glyph(u"wifi.exclamationmark"_s);
    look.title = look.connecting ? u"Verbinding maken met je Homey"_s : u"Geen verbinding met je Homey"_s;
    look.text = message.value_or(u"Je Homey wordt gezocht en je sleutel wordt gecontroleerd."_s);
    if (message && retrying)
        look.keepsTrying = u"Quorvane blijft het op de achtergrond proberen."_s;
    look.retryText = u"Opnieuw proberen"_s;
    look.configureText = u"API-sleutel wijzigen"_s;
    return look;
}
