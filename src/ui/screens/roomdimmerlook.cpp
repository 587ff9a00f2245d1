#include "ui/screens/roomdimmerlook.h"

#include "ui/fmt.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

RoomDimmerLook RoomDimmerLook::make(const RoomScope &room, double dimLevel, bool selected)
{
    const bool lit = room.lightsOn >= 1;
    const double level = std::isfinite(dimLevel) ? dimLevel : 0.0;
    RoomDimmerLook look;
    look.selected = selected;
    look.symbol = SymbolCatalog::glyph(lit ? u"lightbulb.fill"_s : u"lightbulb"_s);
    look.symbolColor = selected ? Theme::lit() : !lit ? Theme::textFaint() : Theme::litDeep();
    look.title = u"Alle lampen"_s;
    look.titleColor = selected ? QColor(Qt::white) : Theme::text();
    look.subtitle =
        room.dimmableCount != 0 ? u"%1 dimbaar"_s.arg(room.dimmableCount) : u"Geen dimbare lampen"_s;
    look.hasBar = room.dimmableCount >= 1;
    look.bar = GlowBarLook::make(level, GlowBarLook::Tint::warm(), level > 0, true);
    look.percent = Fmt::percent(level);
    look.percentColor = level > 0 ? Theme::litSoft() : Theme::textFaint();
    look.allText = lit ? u"alles uit"_s : u"alles aan"_s;
    look.allColor = lit ? Theme::lit() : Theme::textDim();
    look.allFill = lit ? Theme::fade(Theme::lit(), 0.14) : Theme::white(0.06);
    look.allBorder = lit ? Theme::fade(Theme::lit(), 0.25) : Theme::white(0.07);
    look.allAccessibleName = lit ? u"Alle lampen uit"_s : u"Alle lampen aan"_s;
    look.showsDimKeys = selected && look.hasBar;
    look.dimDown = KeyCapLook::make(u"\u2318\u2190"_s);
    look.dimUp = KeyCapLook::make(u"\u2318\u2192"_s);
    look.fillColor = selected ? Theme::selection() : Theme::white(0.035);
    look.borderColor = selected ? Theme::fade(Theme::lit(), 0.45) : Theme::white(0.06);
    look.accessibleHint = u"Enter zet alle lampen in deze kamer aan of uit"_s;
    look.barAccessibleName = u"Helderheid van de hele kamer"_s;
    return look;
}

double RoomDimmerLook::stepped(double level, int dir)
{
    const double from = std::isfinite(level) ? level : 0.0;
    return std::clamp(from + 0.05 * dir, 0.0, 1.0);
}

QFont RoomDimmerLook::titleFont() const
{
    return selected ? selectedTitleFont() : Theme::body(13);
}

QFont RoomDimmerLook::selectedTitleFont()
{
    return Theme::title(13);
}
