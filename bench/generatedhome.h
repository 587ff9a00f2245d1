#pragma once

// The large home every benchmark measures against: 1,000 devices in 95 rooms on four floors, 200 flows
// and 50 moods, with Dutch names that search and sort like a real one.
#include "homey/model/capability.h"
#include "homey/model/device.h"
#include "homey/model/favorites.h"
#include "homey/model/flow.h"
#include "homey/model/homemaps.h"
#include "homey/model/mood.h"
#include "homey/model/zone.h"

#include <QStringList>

namespace GeneratedHome {

using namespace Qt::StringLiterals;

struct Home {
    DeviceMap devices;
    ZoneMap zones;
    FlowMap flows;
    MoodMap moods;
    Favorites favorites;
};

inline Capability makeCapability(const QString &id, Capability::Kind kind, bool setable,
                                 CapabilityValue value)
{
    Capability cap;
    cap.id = id;
    cap.kind = kind;
    cap.title = id;
    cap.getable = true;
    cap.setable = setable;
    cap.value = value;
    return cap;
}

inline Home generateHome()
{
    static const QStringList rooms = {u"Woonkamer"_s,   u"Keuken"_s,     u"Kantoor"_s,   u"Slaapkamer"_s,
                                      u"Badkamer"_s,    u"Hal"_s,        u"Zolder"_s,    u"Garage"_s,
                                      u"Tuin"_s,        u"Washok"_s,     u"Eetkamer"_s,  u"Kinderkamer"_s,
                                      u"Logeerkamer"_s, u"Speelkamer"_s, u"Bijkeuken"_s, u"Overloop"_s};
    static const QStringList lights = {u"Plafondlamp"_s, u"Staande lamp"_s, u"Wandlamp"_s, u"Leeslamp"_s,
                                       u"Spotjes"_s,     u"Ledstrip"_s,     u"Hanglamp"_s, u"Bureaulamp"_s};
    static const QStringList others = {u"Thermometer"_s, u"Bewegingssensor"_s, u"Stopcontact"_s,
                                       u"Deursensor"_s,  u"Rookmelder"_s,      u"Speaker"_s};
    Home h;
    h.zones.insert(u"huis"_s, Zone{u"huis"_s, u"Huis"_s, std::nullopt, u"home"_s, false, std::nullopt});
    for (int f = 0; f < 4; ++f) {
        const QString id = u"floor%1"_s.arg(f);
        h.zones.insert(id,
                       Zone{id, u"Verdieping %1"_s.arg(f), u"huis"_s, u"stairs-up"_s, false, std::nullopt});
    }
    QStringList roomIDs;
    for (int r = 0; r < 95; ++r) {
        const QString id = u"room%1"_s.arg(r);
        const QString name =
            rooms[r % rooms.size()] + (r < rooms.size() ? QString() : u" %1"_s.arg(r / rooms.size() + 1));
        h.zones.insert(id, Zone{id, name, u"floor%1"_s.arg(r % 4), u"living"_s, false, std::nullopt});
        roomIDs.append(id);
    }
    for (int d = 0; d < 1000; ++d) {
        Device device;
        device.id = u"device%1"_s.arg(d);
        device.zoneID = roomIDs[d % roomIDs.size()];
        device.available = d % 37 != 0;
        device.ready = true;
        const auto add = [&](Capability cap) {
            device.capabilityOrder.append(cap.id);
            device.capabilities[cap.id] = std::move(cap);
        };
        if (d % 10 < 6) {
            device.name = lights[d % lights.size()] + u" %1"_s.arg(d / lights.size());
            device.deviceClass = u"light"_s;
            add(makeCapability(u"onoff"_s, Capability::Kind::boolean, true,
                               CapabilityValue::fromBool(d % 3 == 0)));
            if (d % 2 == 0)
                add(makeCapability(u"dim"_s, Capability::Kind::number, true,
                                   CapabilityValue::fromNumber(0.5)));
        } else {
            device.name = others[d % others.size()] + u" %1"_s.arg(d);
            device.deviceClass = d % 10 == 6 ? u"socket"_s : u"sensor"_s;
            if (d % 10 == 6)
                add(makeCapability(u"onoff"_s, Capability::Kind::boolean, true,
                                   CapabilityValue::fromBool(true)));
            add(makeCapability(u"measure_temperature"_s, Capability::Kind::number, false,
                               CapabilityValue::fromNumber(20.5)));
        }
        device.energyW = d % 5 == 0 ? std::optional(12.0) : std::nullopt;
        h.devices.insert(device.id, device);
    }
    for (int f = 0; f < 200; ++f) {
        const QString id = u"flow%1"_s.arg(f);
        h.flows.insert(id, Flow{id, u"Flow %1 %2"_s.arg(rooms[f % rooms.size()]).arg(f), f % 9 != 0,
                                f % 4 == 0, true, std::nullopt});
        if (f % 20 == 0)
            h.favorites.flowIDs.append(id);
    }
    for (int m = 0; m < 50; ++m) {
        const QString id = u"mood%1"_s.arg(m);
        h.moods.insert(id, Mood{id, u"Sfeer %1"_s.arg(m), roomIDs[m]});
    }
    h.favorites.deviceIDs = {u"device0"_s, u"device6"_s, u"device12"_s};
    return h;
}

// Built once per program.
inline const Home &home()
{
    static const Home h = generateHome();
    return h;
}

} // namespace GeneratedHome
