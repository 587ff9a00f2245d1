// The zoomed-in room: entering and leaving it, its sections and rows, and the lookups around rooms.
#include "base/log.h"
#include "base/text/textorder.h"
#include "store/home/homestore.h"
#include "store/overview/restbuilder.h"
#include "store/search/hitbuilder.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool byName(const Device &a, const Device &b)
{
    return TextOrder::localizedLess(a.name, b.name);
}

bool hasBaseCapability(const Device &device, const QString &base)
{
    return std::any_of(device.capabilities.begin(), device.capabilities.end(),
                       [&](const auto &entry) { return Device::baseCapability(entry.first) == base; });
}

} // namespace

void HomeStore::enterScope(const QString &zoneID)
{
    const auto zone = m_zones.constFind(zoneID);
    if (zone == m_zones.constEnd())
        return;
    const QString name = zone->name;
    setShowsNotifications(false);
    setScopeZoneID(zoneID);
    setQuery(QString());
    setDetailDeviceID(std::nullopt);
    setSelection(0);
    rebuildRoom();
    recomputeHits();
    remember(u"room:"_s + zoneID);
    log(u"scope: ingezoomd op "_s + name + u" (room="_s + (m_room ? u"gebouwd"_s : u"NIL"_s) + u", "_s +
        QString::number(m_roomHits.size()) + u" rijen)"_s);
}

void HomeStore::exitScope()
{
    if (!m_scopeZoneID)
        return;
    const QString zoneID = *m_scopeZoneID;
    // A room level still waiting goes out now rather than being lost with the room.
    flushWaitingRoomDim();
    setScopeZoneID(std::nullopt);
    setRoom(std::nullopt);
    setRoomHits({});
    setQuery(QString());
    setDetailDeviceID(std::nullopt);
    setSelection(0);
    recomputeHits();
    const auto zone = m_zones.constFind(zoneID);
    log(u"scope: verlaten ("_s + (zone != m_zones.constEnd() ? zone->name : zoneID) + u')');
}

std::optional<QString> HomeStore::zoneID(const QString &named) const
{
    for (const Zone &zone : m_zones) {
        if (zone.name.compare(named, Qt::CaseInsensitive) == 0)
            return zone.id;
    }
    const Zone *best = nullptr;
    for (const Zone &zone : m_zones) {
        if (zone.name.contains(named, Qt::CaseInsensitive) &&
            (!best || TextOrder::localizedLess(zone.name, best->name)))
            best = &zone;
    }
    return best ? std::optional(best->id) : std::nullopt;
}

std::optional<Zone> HomeStore::zone(const QString &zoneID) const
{
    const auto found = m_zones.constFind(zoneID);
    return found != m_zones.constEnd() ? std::optional(*found) : std::nullopt;
}

std::optional<Device> HomeStore::device(const QString &deviceID) const
{
    const auto found = m_devices.constFind(deviceID);
    return found != m_devices.constEnd() ? std::optional(*found) : std::nullopt;
}

QList<Device> HomeStore::devices(const QString &inZone) const
{
    QList<Device> lights;
    QList<Device> others;
    for (const Device &device : m_devices) {
        if (device.zoneID != inZone || !device.isControllable())
            continue;
        (device.deviceClass == u"light" ? lights : others).append(device);
    }
    std::stable_sort(lights.begin(), lights.end(), byName);
    std::stable_sort(others.begin(), others.end(), byName);
    return lights + others;
}

QList<Device> HomeStore::lights(const QString &inZone) const
{
    QList<Device> result;
    for (const Device &device : m_devices) {
        if (device.zoneID == inZone && isPlainLight(device))
            result.append(device);
    }
    return result;
}

bool HomeStore::isPlainLight(const Device &device) const
{
    return device.deviceClass == u"light" && !device.isGuarded() && !m_sceneTwins.contains(device.id);
}

RoomSection::Kind HomeStore::section(const Device &device) const
{
    if (!device.isControllable())
        return RoomSection::Kind::sensor;
    if (device.deviceClass == u"light" && !m_sceneTwins.contains(device.id))
        return RoomSection::Kind::light;
    static const QSet<QString> climateClasses{u"thermostat"_s, u"heater"_s, u"fan"_s, u"airconditioning"_s};
    static const QSet<QString> mediaClasses{u"speaker"_s, u"tv"_s, u"amplifier"_s};
    if (climateClasses.contains(device.deviceClass))
        return RoomSection::Kind::climate;
    if (mediaClasses.contains(device.deviceClass))
        return RoomSection::Kind::media;
    if (hasBaseCapability(device, u"target_temperature"_s))
        return RoomSection::Kind::climate;
    if (hasBaseCapability(device, u"speaker_playing"_s))
        return RoomSection::Kind::media;
    return RoomSection::Kind::other;
}

void HomeStore::rebuildRoom(SelectionRule rule)
{
    if (!m_scopeZoneID) {
        setRoom(std::nullopt);
        setRoomHits({});
        return;
    }
    const QString zoneID = *m_scopeZoneID;
    const auto zone = m_zones.constFind(zoneID);
    if (zone == m_zones.constEnd()) {
        exitScope();
        return;
    }

    QList<Device> roomDevices;
    for (const Device &device : m_devices) {
        if (device.zoneID == zoneID)
            roomDevices.append(device);
    }

    QList<Device> shown = roomDevices;
    if (isSearching()) {
        QSet<QString> matched;
        const SearchIndex::Result result = m_index.search(m_query, m_devices, m_zones, m_recent,
                                                          roomSearchLimit, m_options.clock->wallNow());
        for (const Hit &hit : result.hits) {
            if (hit.target.kind() != Hit::Target::Kind::device)
                continue;
            const auto device = m_devices.constFind(hit.target.id());
            if (device != m_devices.constEnd() && device->zoneID == zoneID)
                matched.insert(device->id);
        }
        shown.removeIf([&](const Device &device) { return !matched.contains(device.id); });
    }
    m_verb.reset();

    QList<RoomSection> sections;
    QList<Hit> rows;
    for (const RoomSection::Kind kind : RoomSection::Kind::allCases()) {
        QList<Device> members;
        for (const Device &device : shown) {
            if (section(device) == kind)
                members.append(device);
        }
        if (members.isEmpty())
            continue;
        std::stable_sort(members.begin(), members.end(), byName);
        RoomSection part{kind, {}};
        for (const Device &device : members)
            part.hits.append(HitBuilder::roomDevice(device));
        if (kind.selectable())
            rows += part.hits;
        sections.append(std::move(part));
    }

    const Room tile = RestBuilder::room(*zone, roomDevices, m_zones, m_sceneTwins);
    const QList<Device> roomLights = lights(zoneID);
    double dimSum = 0;
    int dimLit = 0;
    int dimmable = 0;
    for (const Device &light : roomLights) {
        if (!light.dimKey())
            continue;
        ++dimmable;
        if (light.isOn() == true) {
            dimSum += light.dimLevel().value_or(0);
            ++dimLit;
        }
    }

    RoomScope scope;
    scope.zoneID = zoneID;
    scope.name = zone->name;
    scope.symbol = zone->symbol();
    scope.deviceCount = tile.deviceCount;
    scope.sensorCount = int(std::count_if(roomDevices.begin(), roomDevices.end(),
                                          [](const Device &device) { return !device.isControllable(); }));
    scope.lightsOn = tile.lightsOn;
    scope.lightsTotal = tile.lightsTotal;
    scope.dimmableCount = dimmable;
    scope.brightness = tile.brightness;
    scope.dimBrightness = dimLit > 0 ? std::clamp(dimSum / dimLit, 0.0, 1.0) : 0.0;
    scope.temperature = tile.temperature;
    scope.active = zone->active;
    scope.sections = std::move(sections);
    changeRows(rule, [&] {
        setRoom(std::move(scope));
        setRoomHits(std::move(rows));
    });
}

double HomeStore::roomDimLevel() const
{
    if (!m_room)
        return 0;
    return m_dim.target(DimCoalescer::roomKey(m_room->zoneID)).value_or(m_room->dimBrightness);
}

Hit HomeStore::roomHit(const Room &room) const
{
    return HitBuilder::room(HitBuilder::identity(Hit::Target::room(room.id), room.name), room.symbol,
                            room.lightsOn, room.lightsTotal, std::nullopt);
}
