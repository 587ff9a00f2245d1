#include "ui/roomtilelook.h"

#include "base/text/counted.h"
#include "ui/fmt.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString statusLineFor(const Room &room)
{
    if (room.lightsTotal != 0)
        return u"%1 van %2 aan"_s.arg(room.lightsOn).arg(room.lightsTotal);
    return Counted::text(room.deviceCount, u"apparaat"_s, u"apparaten"_s);
}

QString spokenSummary(const Room &room)
{
    QString text = room.lightsTotal == 0
                       ? Counted::text(room.deviceCount, u"apparaat"_s, u"apparaten"_s)
                       : u"%1 van "_s.arg(room.lightsOn) +
                             Counted::text(room.lightsTotal, u"lamp"_s, u"lampen"_s) + u" aan"_s;
    if (room.lightsOn >= 1)
        text += u", helderheid "_s + Fmt::percent(room.brightness);
    if (room.active)
        text += u", er is beweging"_s;
    if (room.temperature)
        text += u", "_s + Fmt::celsius(*room.temperature);
    return text;
}

} // namespace

RoomTileLook RoomTileLook::make(const Room &room, bool selected)
{
    const bool lit = room.lightsOn >= 1;
    const double brightness = std::isfinite(room.brightness) ? room.brightness : 0.0;
    RoomTileLook look;
    look.name = room.name;
    look.symbol = SymbolCatalog::glyph(room.symbol);
    look.selected = selected;
    look.lit = lit;
    look.plateColor = lit ? Theme::surfaceLit() : Theme::surfaceTile();
    // Even a faint room glows visibly; a dark one not at all.
    look.glowLevel = lit ? std::clamp(brightness, 0.14, 1.0) : 0.0;
    look.bar = GlowBarLook::make(brightness, GlowBarLook::Tint::warm(), room.lightsOn > 0);
    look.barOpacity = lit ? 1.0 : 0.45;
    look.symbolColor = lit ? Theme::fade(Theme::litSoft(), 0.9) : Theme::textFaint();
    look.nameColor = lit ? QColor::fromRgbF(1.0f, 0.902f, 0.745f) : Theme::text();
    look.showsMotion = room.active;
    if (room.temperature)
        look.temperature = Fmt::degrees(*room.temperature);
    look.temperatureColor = lit ? Theme::fade(Theme::litSoft(), 0.65) : Theme::textFaint();
    look.statusLine = statusLineFor(room);
    look.statusColor = lit ? Theme::fade(Theme::litSoft(), 0.8) : Theme::textFaint();
    look.deviceCount = QString::number(room.deviceCount);
    look.deviceCountColor = lit ? Theme::fade(Theme::litSoft(), 0.5) : Theme::fade(Theme::textFaint(), 0.65);
    look.borderWidth = selected ? 1.0 : 0.5;
    look.accessibleName = room.name;
    look.accessibleValue = spokenSummary(room);
    look.accessibleHint = u"Enter zet het licht in deze kamer aan of uit"_s;
    return look;
}

QColor RoomTileLook::borderColor(bool hovering) const
{
    if (selected)
        return Theme::fade(Theme::lit(), 0.55);
    if (!lit)
        return Theme::white(hovering ? 0.16 : 0.06);
    return Theme::fade(Theme::lit(), 0.28);
}
