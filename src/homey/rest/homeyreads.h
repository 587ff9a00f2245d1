#pragma once

#include "homey/model/device.h"
#include "homey/model/energystate.h"
#include "homey/model/favorites.h"
#include "homey/model/flow.h"
#include "homey/model/homeyerror.h"
#include "homey/model/mood.h"
#include "homey/model/rawnotification.h"
#include "homey/model/systemstate.h"
#include "homey/model/zone.h"
#include "homey/wire/lenient.h"
#include "homey/wire/rawdevice.h"
#include "homey/wire/rawenergylive.h"
#include "homey/wire/rawflow.h"
#include "homey/wire/rawmood.h"
#include "homey/wire/rawsystem.h"
#include "homey/wire/rawtimelineitem.h"
#include "homey/wire/rawuser.h"
#include "homey/wire/rawzone.h"

#include <map>
#include <QByteArray>
#include <QList>
#include <QString>

// The pure half of the client's reads: decoding the hub's answers and turning them into the home's
// values in their fixed order.
namespace HomeyReads {

// One whole document; a body that does not decode is HomeyError::decoding("<path>: <reason>").
template <class T> T document(const QByteArray &body, const QString &path)
{
    try {
        return decodeJson<T>(body);
    } catch (const JsonDecodeError &error) {
        throw HomeyError::decoding(path + QStringLiteral(": ") + error.description());
    }
}

// An id-keyed collection: members that do not decode are skipped; a body that is not an object fails.
template <class T> QList<T> collection(const QByteArray &body, const QString &path)
{
    auto members = document<std::map<QString, Lenient<T>>>(body, path);
    QList<T> result;
    result.reserve(qsizetype(members.size()));
    for (auto &entry : members) {
        if (entry.second.value)
            result.append(std::move(*entry.second.value));
    }
    return result;
}

QList<Zone> zones(const QList<RawZone> &records);
QList<Device> devices(const QList<RawDevice> &records);
// Enabled, triggerable flows only; standard before advanced among equal names.
QList<Flow> flows(const QList<RawFlow> &standard, const QList<RawFlow> &advanced);
QList<Mood> moods(const QList<RawMood> &records);
Favorites favorites(const RawUser &user);
EnergyState energy(const RawEnergyLive &live);
// The CPU share comes from the client's sampler.
SystemState system(const RawSystem &raw, std::optional<double> cpuPercent);
// Newest first, undated last.
QList<RawNotification> notifications(const QList<RawTimelineItem> &records);

} // namespace HomeyReads
