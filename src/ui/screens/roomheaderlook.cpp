#include "ui/screens/roomheaderlook.h"

#include "base/text/counted.h"
#include "ui/fmt.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

RoomHeaderLook RoomHeaderLook::make(const RoomScope &room)
{
    const bool lit = room.lightsOn >= 1;
    RoomHeaderLook look;
    look.symbol = SymbolCatalog::glyph(room.symbol);
    look.symbolColor = lit ? Theme::lit() : Theme::textFaint();
    look.name = room.name;
    look.showsMotion = room.active;
    look.motionText = u"beweging"_s;
    if (room.hasLights())
        look.lamps = u"%1 van %2 aan"_s.arg(room.lightsOn).arg(room.lightsTotal);
    look.lampsColor = lit ? Theme::litSoft() : Theme::textFaint();
    look.devices = Counted::text(room.deviceCount, u"apparaat"_s, u"apparaten"_s);
    if (room.temperature)
        look.temperature = Fmt::degrees(*room.temperature);
    look.separator = u"\u00b7"_s;

    QString spoken = room.name + u", "_s;
    if (room.hasLights())
        spoken += u"%1 van "_s.arg(room.lightsOn) + Counted::text(room.lightsTotal, u"lamp"_s, u"lampen"_s) +
                  u" aan, "_s;
    spoken += Counted::text(room.deviceCount, u"bedienbaar apparaat"_s, u"bedienbare apparaten"_s);
    if (room.temperature)
        spoken += u", "_s + Fmt::celsius(*room.temperature);
    if (room.active)
        spoken += u", er is beweging"_s;
    look.accessibleName = spoken;
    return look;
}
