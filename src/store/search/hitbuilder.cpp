#include "store/search/hitbuilder.h"

#include "base/text/counted.h"
#include "store/search/searchindex.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString roomText = u"Kamer"_s;

} // namespace

namespace HitBuilder {

QString percent(double fraction)
{
    // Adding 0.0 turns a negative zero into "0".
    const double rounded = std::round(fraction * 100) + 0.0;
    if (!std::isfinite(rounded))
        return u"-"_s;
    return QString::number(rounded, 'f', 0) + u'%';
}

Hit identity(const Hit::Target &target, const QString &title)
{
    QString prefix;
    switch (target.kind()) {
    case Hit::Target::Kind::device:
        prefix = u"device:"_s;
        break;
    case Hit::Target::Kind::room:
        prefix = u"room:"_s;
        break;
    case Hit::Target::Kind::flow:
        prefix = u"flow:"_s;
        break;
    case Hit::Target::Kind::mood:
        prefix = u"mood:"_s;
        break;
    }
    Hit hit;
    hit.id = prefix + target.id();
    hit.target = target;
    hit.title = title;
    return hit;
}

Hit flow(const QString &flowID, const QString &title, bool advanced)
{
    Hit hit = identity(Hit::Target::flow(flowID, advanced), title);
    hit.subtitle = advanced ? u"Flow, geavanceerd"_s : u"Flow"_s;
    hit.symbol = u"bolt.horizontal"_s;
    hit.accessory = Hit::Accessory::run();
    return hit;
}

Hit mood(const QString &moodID, const QString &title, const std::optional<QString> &place)
{
    Hit hit = identity(Hit::Target::mood(moodID), title);
    hit.subtitle = place ? u"Sfeer, "_s + *place : u"Sfeer"_s;
    hit.symbol = u"sparkles"_s;
    hit.accessory = Hit::Accessory::run();
    return hit;
}

Hit device(Hit identity, const Device &device, const std::optional<QString> &subtitle,
           const Hit::Accessory &accessory)
{
    identity.subtitle = subtitle;
    identity.symbol = device.symbol();
    identity.accessory = accessory;
    return identity;
}

Hit room(Hit identity, const Zone &zone, const QStringList &lights, const DeviceMap &devices,
         const std::optional<SearchVerb> &verb)
{
    qsizetype on = 0;
    for (const QString &id : lights) {
        const auto device = devices.constFind(id);
        if (device != devices.constEnd() && device->isOn() == true)
            ++on;
    }
    return room(std::move(identity), zone.symbol(), on, lights.size(), verb);
}

Hit room(Hit identity, const QString &symbol, qsizetype lightsOn, qsizetype lightsTotal,
         const std::optional<SearchVerb> &verb)
{
    Hit &hit = identity;
    hit.symbol = symbol;
    hit.accessory = Hit::Accessory::toggle(lightsOn > 0);
    if (!verb) {
        hit.subtitle = lightsTotal == 0 ? roomText
                                        : u"Kamer, %1 van "_s.arg(lightsOn) +
                                              Counted::text(lightsTotal, u"lamp"_s, u"lampen"_s) + u" aan"_s;
        return hit;
    }
    switch (verb->kind()) {
    case SearchVerb::Kind::setDim:
        hit.subtitle = u"Kamer, lampen naar "_s + percent(verb->level());
        break;
    case SearchVerb::Kind::on:
        hit.subtitle = u"Kamer, alles aan"_s;
        break;
    case SearchVerb::Kind::off:
        hit.subtitle = u"Kamer, alles uit"_s;
        break;
    case SearchVerb::Kind::dim:
        hit.subtitle = u"Kamer, lampen dimmen"_s;
        break;
    }
    return hit;
}

Hit openRoom(const RoomScope &room)
{
    Hit hit = identity(Hit::Target::room(room.zoneID), room.name);
    hit.subtitle =
        room.lightsTotal < 1 ? roomText : u"%1 van %2 aan"_s.arg(room.lightsOn).arg(room.lightsTotal);
    hit.symbol = room.symbol;
    hit.accessory = Hit::Accessory::dimmer(room.brightness);
    return hit;
}

Hit roomDevice(const Device &device)
{
    std::optional<QString> subtitle;
    if (!device.available) {
        subtitle = unreachable(device);
    } else if (!device.isControllable()) {
        if (const auto reading = SearchIndex::primaryReading(device))
            subtitle = reading->title;
    }
    return HitBuilder::device(identity(Hit::Target::device(device.id), device.name), device, subtitle,
                              SearchIndex::describe(device, QString(), std::nullopt).accessory);
}

QString unreachable(const Device &device)
{
    return device.unavailableMessage.value_or(u"Niet bereikbaar"_s);
}

} // namespace HitBuilder
