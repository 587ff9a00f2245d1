#pragma once

#include "homey/model/device.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"
#include "homey/model/zone.h"
#include "store/search/searchverb.h"

#include <optional>
#include <QString>
#include <QStringList>

// Every row the palette shows for a flow, mood, room or device is made here, so a search result and an
// overview chip for the same thing read alike. Scores stay 0; the search sets its own.
namespace HitBuilder {

Hit flow(const QString &flowID, const QString &title, bool advanced);
// "Sfeer, " and the place, or "Sfeer" without one.
Hit mood(const QString &moodID, const QString &title, const std::optional<QString> &place);
Hit device(const Device &device, const QString &title, const std::optional<QString> &subtitle,
           const Hit::Accessory &accessory);
// lights are the ids of the room's lamps; devices tells which of them are on now.
Hit room(const Zone &zone, const QString &title, const QStringList &lights, const DeviceMap &devices,
         const std::optional<SearchVerb> &verb);

// round(fraction x 100), halves away from zero, and "%".
QString percent(double fraction);

} // namespace HitBuilder
