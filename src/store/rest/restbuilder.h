#pragma once

#include "homey/model/device.h"
#include "homey/model/favorites.h"
#include "homey/model/hit.h"
#include "homey/model/mood.h"
#include "homey/model/reststate.h"
#include "homey/model/room.h"
#include "homey/model/zone.h"
#include "store/search/homemaps.h"

#include <QList>
#include <QSet>
#include <QString>

// The idle overview shown while nothing is typed: room tiles, scene and mode chips, the number of lights
// on and one Dutch headline. Pure functions; they keep no state.
namespace RestBuilder {

RestState build(const DeviceMap &devices, const ZoneMap &zones, const FlowMap &flows, const MoodMap &moods,
                const Favorites &favorites);

// The tile of one zone from the devices directly in it (not those of its sub-zones).
Room room(const Zone &zone, const QList<Device> &devices, const ZoneMap &zones,
          const QSet<QString> &sceneTwins);

// Zones that hold other zones, and every top-level zone: never a room of their own.
QSet<QString> containerZoneIDs(const ZoneMap &zones);

// Plain lights named like a flow or mood: switches that mirror a scene, left out of every light count.
QSet<QString> sceneTwinDeviceIDs(const DeviceMap &devices, const FlowMap &flows, const MoodMap &moods);

// Two names with the same key are the same scene: 'Film avond' and 'film-Avond' give 'film avond'.
QString sceneKey(const QString &name);

Hit flowHit(const Flow &flow);
Hit moodHit(const Mood &mood, const ZoneMap &zones);
Hit modeHit(const Device &device, const ZoneMap &zones);

QString headline(const QList<Room> &rooms);
// "de woonkamer", "het kantoor".
QString withArticle(const Room &room);

// A favourite flow named with one of these words is upkeep, not a scene.
const QSet<QString> &maintenanceWords();
// Room words that take "het".
const QSet<QString> &hetWords();

} // namespace RestBuilder
