#include "ui/scopechiplook.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

ScopeChipLook ScopeChipLook::make(const QString &name, const QString &symbol)
{
    return {name,
            SymbolCatalog::glyph(symbol),
            SymbolCatalog::glyph(u"xmark"_s),
            u"Kamer "_s + name + u" verlaten"_s,
            u"Ingezoomd op "_s + name,
            u"Escape gaat terug naar alle kamers"_s};
}

QColor ScopeChipLook::fillColor(bool hovering) const
{
    return Theme::fade(Theme::lit(), hovering ? 0.2 : 0.15);
}

QColor ScopeChipLook::crossColor(bool hovering) const
{
    return hovering ? Theme::litSoft() : Theme::fade(Theme::lit(), 0.55);
}
