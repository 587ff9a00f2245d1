#pragma once

#include "homey/model/device.h"
#include "homey/model/flow.h"
#include "homey/model/mood.h"
#include "homey/model/zone.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

// The home as the store keeps it: each record by its id.
using DeviceMap = QHash<QString, Device>;
using ZoneMap = QHash<QString, Zone>;
using FlowMap = QHash<QString, Flow>;
using MoodMap = QHash<QString, Mood>;
// When the user last ran each hit, by hit id.
using RecentUses = QHash<QString, QDateTime>;

// What the records say together, for the overview and the search alike.
namespace HomeMaps {

// Zones that hold other zones, and every top-level zone: never a room of their own.
QSet<QString> containerZoneIDs(const ZoneMap &zones);

// Plain lights named like a flow or mood: switches that mirror a scene, left out of every light count.
QSet<QString> sceneTwinDeviceIDs(const DeviceMap &devices, const FlowMap &flows, const MoodMap &moods);
// The keys of the scenes a twin can mirror, and whether one device is such a twin.
QSet<QString> sceneKeys(const FlowMap &flows, const MoodMap &moods);
bool isSceneTwin(const Device &device, const QSet<QString> &sceneKeys);

// Two names with the same key are the same scene: 'Film avond' and 'film-Avond' give 'film avond'.
QString sceneKey(const QString &name);

} // namespace HomeMaps
