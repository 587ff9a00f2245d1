#include "store/overview/restbuilder.h"

#include "base/text/graphemes.h"
#include "base/text/searchtext.h"
#include "base/text/textorder.h"
#include "store/overview/zonedevices.h"
#include "store/search/hitbuilder.h"

#include <algorithm>
#include <cmath>
#include <span>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype shownRooms = 9;
constexpr qsizetype sceneLimit = 9;
constexpr qsizetype lightModeLimit = 6;

using DeviceGroup = QList<const Device *>;

bool isLitLight(const Device &device)
{
    return device.deviceClass == u"light" && device.isOn() == true;
}

// A lit lamp's level in millionths: a room sums them as integers, so taking one lamp out and putting it
// back in gives exactly the sum a fresh count gives. The bound only keeps a wild reading within range.
qint64 levelMillionths(const Device &lamp)
{
    const double level = lamp.dimLevel().value_or(1.0);
    return std::llround((std::isnan(level) ? 1.0 : std::clamp(level, -1e9, 1e9)) * 1e6);
}

// Counts a lit lamp in the tile, or with sign -1 takes it out again.
void countLitLamp(Room &room, const Device &device, const QSet<QString> &twins, int sign)
{
    if (isLitLight(device) && !twins.contains(device.id)) {
        room.lightsOn += sign;
        room.litLevels += sign * levelMillionths(device);
    }
}

void settleBrightness(Room &room)
{
    room.brightness =
        room.lightsOn > 0 ? std::clamp(double(room.litLevels) / 1e6 / room.lightsOn, 0.0, 1.0) : 0.0;
}

Room makeRoom(const Zone &zone, const DeviceGroup &devices, const ZoneMap &zones, const QSet<QString> &twins)
{
    Room room;
    room.id = zone.id;
    room.name = zone.name;
    room.symbol = zone.symbol();
    room.active = zone.active;

    double temperatureSum = 0;
    int temperatures = 0;
    double power = 0;
    bool hasPower = false;
    for (const Device *device : devices) {
        if (device->deviceClass == u"light" && !twins.contains(device->id))
            ++room.lightsTotal;
        countLitLamp(room, *device, twins, 1);
        if (const std::optional<double> t = device->temperature()) {
            temperatureSum += *t;
            ++temperatures;
        }
        if (device->isControllable()) {
            ++room.deviceCount;
            // Solar panels deliver power; they are not what the room draws.
            if (device->deviceClass != u"solarpanel" && device->energyW && *device->energyW > 0) {
                power += *device->energyW;
                hasPower = true;
            }
        }
    }
    settleBrightness(room);
    if (temperatures > 0)
        room.temperature = temperatureSum / temperatures;
    if (hasPower)
        room.powerW = power;
    if (zone.parentID) {
        const auto parent = zones.constFind(*zone.parentID);
        if (parent != zones.constEnd() && parent->parentID)
            room.floor = parent->name;
    }
    return room;
}

// Localized name order; the id settles equal names so a rebuild of the same home gives the same list.
template <typename T> bool localizedNameLess(const T &a, const T &b)
{
    const int order = TextOrder::localizedCompare(a.name, b.name);
    return order != 0 ? order < 0 : a.id < b.id;
}

bool isMaintenance(const QString &name)
{
    const QSet<QString> &words = RestBuilder::maintenanceWords();
    const QStringList tokens = SearchText::tokens(name);
    return std::any_of(tokens.begin(), tokens.end(),
                       [&](const QString &token) { return words.contains(token.toLower()); });
}

// Collects scene chips, each scene key once.
struct SceneList {
    QList<Hit> hits;
    QSet<QString> keys;

    void offer(const QString &name, const auto &makeHit)
    {
        QString key = HomeMaps::sceneKey(name);
        if (keys.contains(key))
            return;
        keys.insert(std::move(key));
        hits.append(makeHit());
    }
};

Hit moodHit(const Mood &mood, const ZoneMap &zones)
{
    const auto zone = mood.zoneID ? zones.constFind(*mood.zoneID) : zones.constEnd();
    return HitBuilder::mood(mood.id, mood.name,
                            zone != zones.constEnd() ? std::optional(zone->name) : std::nullopt);
}

Hit modeHit(const Device &device, const ZoneMap &zones)
{
    const auto zone = zones.constFind(device.zoneID);
    return HitBuilder::device(HitBuilder::identity(Hit::Target::device(device.id), device.name), device,
                              zone != zones.constEnd() ? std::optional(zone->name) : std::nullopt,
                              Hit::Accessory::toggle(device.isOn() == true));
}

QList<Hit> favoriteModes(const DeviceMap &devices, const ZoneMap &zones, const Favorites &favorites)
{
    QList<Hit> modes;
    for (const QString &id : favorites.deviceIDs) {
        const auto device = devices.constFind(id);
        if (device != devices.constEnd() && device->onoffKey())
            modes.append(modeHit(*device, zones));
    }
    return modes;
}

// The first lit lamps by name, when no favourite device has a switch.
QList<Hit> litModes(const DeviceMap &devices, const ZoneMap &zones)
{
    QList<const Device *> lit;
    for (const Device &device : devices) {
        if (isLitLight(device))
            lit.append(&device);
    }
    const qsizetype count = std::min(lightModeLimit, lit.size());
    std::partial_sort(lit.begin(), lit.begin() + count, lit.end(),
                      [](const Device *a, const Device *b) { return localizedNameLess(*a, *b); });
    QList<Hit> modes;
    for (qsizetype i = 0; i < count; ++i)
        modes.append(modeHit(*lit[i], zones));
    return modes;
}

bool favoriteHasSwitch(const DeviceMap &devices, const Favorites &favorites, const Device &before)
{
    return std::any_of(favorites.deviceIDs.begin(), favorites.deviceIDs.end(), [&](const QString &id) {
        if (id == before.id)
            return bool(before.onoffKey());
        const auto device = devices.constFind(id);
        return device != devices.constEnd() && bool(device->onoffKey());
    });
}

// The lit-lamp modes after one lamp changed, from the list before it. Only that lamp's place and hit can
// differ; when the lamp leaves a full list its successor is unknown, and nullopt asks for a new scan.
std::optional<QList<Hit>> updatedLitModes(QList<Hit> modes, const Device &before, const Device &after,
                                          const DeviceMap &devices, const ZoneMap &zones)
{
    const auto deviceOf = [&](const Hit &hit) -> const Device * {
        const auto found = devices.constFind(hit.target.id());
        return found != devices.constEnd() ? &*found : nullptr;
    };
    const bool wasFull = modes.size() >= lightModeLimit;
    const Hit::Target target = Hit::Target::device(after.id);
    const bool wasIn = modes.removeIf([&](const Hit &hit) { return hit.target == target; }) > 0;
    if (!isLitLight(after))
        return wasIn && wasFull ? std::nullopt : std::optional(modes);
    qsizetype place = 0;
    for (; place < modes.size(); ++place) {
        const Device *other = deviceOf(modes.at(place));
        if (!other)
            return std::nullopt;
        if (localizedNameLess(after, *other))
            break;
    }
    // Past the end of a full list the lamp may still come before the unknown next one: it does when it
    // was in the list and its name sorts no later than before.
    if (wasFull && place == modes.size()) {
        if (!wasIn)
            return modes;
        if (localizedNameLess(before, after))
            return std::nullopt;
    }
    modes.insert(place, modeHit(after, zones));
    if (modes.size() > lightModeLimit)
        modes.removeLast();
    return modes;
}

} // namespace

namespace RestBuilder {

bool update(RestState &state, const Device &before, const Device &after, const DeviceMap &devices,
            const ZoneMap &zones, const Favorites &favorites, const QSet<QString> &sceneTwins,
            ZoneDevices *zoneDevices)
{
    if (before.id != after.id || before.zoneID != after.zoneID || before.deviceClass != after.deviceClass ||
        before.isControllable() != after.isControllable())
        return false;

    // A change the tile does not read (a new name, another capability) leaves the rooms as they were.
    const bool readingsKept = before.temperature() == after.temperature() && before.energyW == after.energyW;
    const bool tileKept =
        readingsKept && before.isOn() == after.isOn() && before.dimLevel() == after.dimLevel();
    QList<Room> *tiles[] = {&state.rooms, &state.moreRooms};
    for (QList<Room> *list : tileKept ? std::span<QList<Room> *>() : std::span(tiles)) {
        const auto tile = std::find_if(list->begin(), list->end(),
                                       [&](const Room &room) { return room.id == after.zoneID; });
        if (tile == list->end())
            continue;
        if (readingsKept) {
            // Only the lamp itself moved: the tile changes by its difference, without a look at the others.
            Room room = *tile;
            countLitLamp(room, before, sceneTwins, -1);
            countLitLamp(room, after, sceneTwins, 1);
            if (room.lightsOn < 0 || room.lightsOn > room.lightsTotal)
                return false;
            settleBrightness(room);
            *tile = std::move(room);
            break;
        }
        const auto zone = zones.constFind(after.zoneID);
        if (zone == zones.constEnd())
            return false;
        DeviceGroup group;
        if (zoneDevices) {
            const QStringList &ids = zoneDevices->of(after.zoneID);
            group.reserve(ids.size());
            for (const QString &id : ids) {
                const auto device = devices.constFind(id);
                if (device == devices.constEnd() || device->zoneID != after.zoneID)
                    return false;
                group.append(&*device);
            }
        } else {
            for (const Device &device : devices) {
                if (device.zoneID == after.zoneID)
                    group.append(&device);
            }
        }
        Room room = makeRoom(*zone, group, zones, sceneTwins);
        // The order of the tiles rests on these; should they move, the whole list is sorted anew.
        if (room.deviceCount != tile->deviceCount || room.lightsTotal != tile->lightsTotal ||
            room.name != tile->name)
            return false;
        *tile = std::move(room);
        break;
    }

    const bool twin = sceneTwins.contains(after.id);
    state.lightsOnTotal += int(isLitLight(after) && !twin) - int(isLitLight(before) && !twin);
    if (!tileKept)
        state.headline = headline(state.rooms, state.moreRooms);

    // The favourites' chips stand while one of them has a switch, and another device changed nothing of them.
    if (!favorites.deviceIDs.contains(after.id) && favoriteHasSwitch(devices, favorites, before))
        return true;
    QList<Hit> modes = favoriteModes(devices, zones, favorites);
    if (modes.isEmpty()) {
        if (favoriteHasSwitch(devices, favorites, before)) {
            modes = litModes(devices, zones);
        } else {
            std::optional<QList<Hit>> lit = updatedLitModes(state.modes, before, after, devices, zones);
            modes = lit ? std::move(*lit) : litModes(devices, zones);
        }
    }
    state.modes = std::move(modes);
    return true;
}

const QSet<QString> &maintenanceWords()
{
    static const QSet<QString> words = {u"restart"_s, u"reboot"_s, u"herstart"_s, u"fix"_s,  u"reset"_s,
                                        u"update"_s,  u"test"_s,   u"debug"_s,    u"ping"_s, u"sync"_s};
    return words;
}

const QSet<QString> &hetWords()
{
    static const QSet<QString> words = {u"kantoor"_s,     u"toilet"_s,   u"balkon"_s,   u"terras"_s,
                                        u"dakterras"_s,   u"atelier"_s,  u"washok"_s,   u"hok"_s,
                                        u"souterrain"_s,  u"magazijn"_s, u"portaal"_s,  u"bijgebouw"_s,
                                        u"zolderkamer"_s, u"halletje"_s, u"schuurtje"_s};
    return words;
}

Room room(const Zone &zone, const QList<Device> &devices, const ZoneMap &zones,
          const QSet<QString> &sceneTwins)
{
    DeviceGroup group;
    group.reserve(devices.size());
    for (const Device &device : devices)
        group.append(&device);
    return makeRoom(zone, group, zones, sceneTwins);
}

QString withArticle(const Room &room)
{
    const QStringList words = SearchText::tokens(room.name);
    const QString article = !words.isEmpty() && hetWords().contains(words.first()) ? u"het"_s : u"de"_s;
    qsizetype firstLength = 0;
    Graphemes::forEach(room.name, [&](qsizetype start, qsizetype length, char32_t) {
        if (start == 0)
            firstLength = length;
    });
    return article + u' ' + room.name.left(firstLength).toLower() + room.name.mid(firstLength);
}

QString headline(const QList<Room> &rooms, const QList<Room> &more)
{
    QList<const Room *> lit;
    lit.reserve(rooms.size() + more.size());
    for (const QList<Room> *list : {&rooms, &more}) {
        for (const Room &room : *list) {
            if (room.lightsOn > 0)
                lit.append(&room);
        }
    }
    // Only the first two are named, and the order is total: the rest need no sorting.
    std::partial_sort(lit.begin(), lit.begin() + std::min<qsizetype>(2, lit.size()), lit.end(),
                      [](const Room *a, const Room *b) {
                          if (a->lightsOn != b->lightsOn)
                              return a->lightsOn > b->lightsOn;
                          return localizedNameLess(*a, *b);
                      });
    if (lit.isEmpty())
        return u"Het is donker in huis."_s;
    const QString first = u"Er brandt licht in "_s + withArticle(*lit[0]);
    if (lit.size() == 1)
        return first + u'.';
    if (lit.size() == 2)
        return first + u" en "_s + withArticle(*lit[1]) + u'.';
    return first + u" en %1 andere kamers."_s.arg(lit.size() - 1);
}

RestState build(const DeviceMap &devices, const ZoneMap &zones, const FlowMap &flows, const MoodMap &moods,
                const Favorites &favorites)
{
    const QSet<QString> containers = HomeMaps::containerZoneIDs(zones);
    const QSet<QString> twins = HomeMaps::sceneTwinDeviceIDs(devices, flows, moods);

    QHash<QString, DeviceGroup> groups;
    groups.reserve(zones.size());
    QSet<QString> zonesWithControls;
    for (const Device &device : devices) {
        groups[device.zoneID].append(&device);
        if (device.isControllable())
            zonesWithControls.insert(device.zoneID);
    }

    QList<Room> tiles;
    for (const Zone &zone : zones) {
        if (!containers.contains(zone.id) && zonesWithControls.contains(zone.id))
            tiles.append(makeRoom(zone, groups.value(zone.id), zones, twins));
    }
    // A home whose devices all sit in the top zone still gets a tile.
    if (tiles.isEmpty()) {
        for (const Zone &zone : zones) {
            const auto group = groups.constFind(zone.id);
            if (group != groups.constEnd() && !group->isEmpty())
                tiles.append(makeRoom(zone, *group, zones, twins));
        }
    }
    std::sort(tiles.begin(), tiles.end(), [](const Room &a, const Room &b) {
        if (a.deviceCount != b.deviceCount)
            return a.deviceCount > b.deviceCount;
        if (a.lightsTotal != b.lightsTotal)
            return a.lightsTotal > b.lightsTotal;
        return localizedNameLess(a, b);
    });

    RestState state;
    state.rooms = tiles.first(std::min(shownRooms, tiles.size()));
    if (tiles.size() > shownRooms)
        state.moreRooms = tiles.sliced(shownRooms);

    SceneList scenes;
    for (const QString &id : favorites.flowIDs) {
        const auto flow = flows.constFind(id);
        if (flow == flows.constEnd() || !flow->triggerable || !flow->enabled || isMaintenance(flow->name))
            continue;
        scenes.offer(flow->name, [&] { return HitBuilder::flow(flow->id, flow->name, flow->isAdvanced); });
    }
    for (const QString &id : favorites.moodIDs) {
        const auto mood = moods.constFind(id);
        if (mood != moods.constEnd())
            scenes.offer(mood->name, [&] { return moodHit(*mood, zones); });
    }
    QList<const Mood *> sortedMoods;
    for (const Mood &mood : moods)
        sortedMoods.append(&mood);
    std::sort(sortedMoods.begin(), sortedMoods.end(), [](const Mood *a, const Mood *b) {
        if (a->name != b->name)
            return TextOrder::codePointLess(a->name, b->name);
        return a->id < b->id;
    });
    for (const Mood *mood : sortedMoods) {
        if (scenes.hits.size() >= sceneLimit)
            break;
        scenes.offer(mood->name, [&] { return moodHit(*mood, zones); });
    }
    if (scenes.hits.isEmpty()) {
        QList<const Flow *> standard;
        for (const Flow &flow : flows) {
            if (flow.enabled && flow.triggerable && !flow.isAdvanced)
                standard.append(&flow);
        }
        std::sort(standard.begin(), standard.end(),
                  [](const Flow *a, const Flow *b) { return localizedNameLess(*a, *b); });
        for (const Flow *flow : standard) {
            if (scenes.hits.size() >= sceneLimit)
                break;
            scenes.offer(flow->name,
                         [&] { return HitBuilder::flow(flow->id, flow->name, flow->isAdvanced); });
        }
    }
    state.scenes = scenes.hits.first(std::min(sceneLimit, scenes.hits.size()));

    state.modes = favoriteModes(devices, zones, favorites);
    if (state.modes.isEmpty())
        state.modes = litModes(devices, zones);

    for (const Device &device : devices) {
        if (isLitLight(device) && !twins.contains(device.id))
            ++state.lightsOnTotal;
    }
    state.headline = headline(tiles);
    return state;
}

} // namespace RestBuilder
