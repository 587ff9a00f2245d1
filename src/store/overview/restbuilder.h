#pragma once

#include "homey/model/device.h"
#include "homey/model/favorites.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"
#include "homey/model/mood.h"
#include "homey/model/reststate.h"
#include "homey/model/room.h"
#include "homey/model/zone.h"

#include <QList>
#include <QSet>
#include <QString>

class ZoneDevices;

// The idle overview shown while nothing is typed: room tiles, scene and mode chips, the number of lights
// on and one Dutch headline. Pure functions; they keep no state.
namespace RestBuilder {

RestState build(const DeviceMap &devices, const ZoneMap &zones, const FlowMap &flows, const MoodMap &moods,
                const Favorites &favorites);

// Brings state, built from the home as it was with before in place of after, up to date after that one
// device changed: its room's tile, the lights on, the headline and the modes. The result equals build() of
// the home now. False, with state untouched, when the change reaches further (another room, the order of
// the tiles): build anew then. The scene twins must be those of the home before and after alike.
// zoneDevices, where given, holds the groups of devices' ids by zone, asked only when the room's devices
// are counted again; without it the room's devices are looked for among all.
bool update(RestState &state, const Device &before, const Device &after, const DeviceMap &devices,
            const ZoneMap &zones, const Favorites &favorites, const QSet<QString> &sceneTwins,
            ZoneDevices *zoneDevices = nullptr);

// The tile of one zone from the devices directly in it (not those of its sub-zones).
Room room(const Zone &zone, const QList<Device> &devices, const ZoneMap &zones,
          const QSet<QString> &sceneTwins);

// The sentence over the lit rooms among rooms and more (the tiles shown and those behind "more").
QString headline(const QList<Room> &rooms, const QList<Room> &more = {});
// "de woonkamer", "het kantoor".
QString withArticle(const Room &room);

// A favourite flow named with one of these words is upkeep, not a scene.
const QSet<QString> &maintenanceWords();
// Room words that take "het".
const QSet<QString> &hetWords();

} // namespace RestBuilder
