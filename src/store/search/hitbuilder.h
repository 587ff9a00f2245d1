#pragma once

#include "homey/model/device.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"
#include "homey/model/roomscope.h"
#include "homey/model/zone.h"
#include "store/search/searchverb.h"

#include <optional>
#include <QString>
#include <QStringList>

// Every row the palette shows for a flow, mood, room or device is made here, so a search result and an
// overview chip for the same thing read alike. Scores stay 0; the search sets its own.
namespace HitBuilder {

// A row before the home's state is read: its id ("device:", "room:", "flow:" or "mood:" and the id; the
// recent-use memory keys on it), target and title. The search keeps one ready with each item.
Hit identity(const Hit::Target &target, const QString &title);

Hit flow(const QString &flowID, const QString &title, bool advanced);
// "Sfeer, " and the place, or "Sfeer" without one.
Hit mood(const QString &moodID, const QString &title, const std::optional<QString> &place);

// Device and room rows: an identity completed from the current state.
Hit device(Hit identity, const Device &device, const std::optional<QString> &subtitle,
           const Hit::Accessory &accessory);
// lights are the ids of the room's lamps; devices tells which of them are on now.
Hit room(Hit identity, const Zone &zone, const QStringList &lights, const DeviceMap &devices,
         const std::optional<SearchVerb> &verb);
// The same from lamp counts already made (an overview tile).
Hit room(Hit identity, const QString &symbol, qsizetype lightsOn, qsizetype lightsTotal,
         const std::optional<SearchVerb> &verb);

// The open room's own row above its devices: all its lamps as one, with their brightness.
Hit openRoom(const RoomScope &room);
// A device row in the open room: the state shows in its control; a second line only where the control
// cannot tell (unreachable, a sensor's reading).
Hit roomDevice(const Device &device);

// What an unreachable device says instead of its state.
QString unreachable(const Device &device);

// round(fraction x 100), halves away from zero, and "%".
QString percent(double fraction);

} // namespace HitBuilder
