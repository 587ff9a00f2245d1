#pragma once

#include "homey/model/device.h"
#include "homey/model/flow.h"
#include "homey/model/mood.h"
#include "homey/model/zone.h"

#include <QDateTime>
#include <QHash>
#include <QString>

// The home as the store keeps it: each record by its id.
using DeviceMap = QHash<QString, Device>;
using ZoneMap = QHash<QString, Zone>;
using FlowMap = QHash<QString, Flow>;
using MoodMap = QHash<QString, Mood>;
// When the user last ran each hit, by hit id.
using RecentUses = QHash<QString, QDateTime>;
