#pragma once

#include "homey/model/capability.h"
#include "homey/model/device.h"
#include "homey/model/favorites.h"
#include "homey/model/flow.h"
#include "homey/model/homemaps.h"
#include "homey/model/mood.h"
#include "homey/model/zone.h"

#include <initializer_list>
#include <optional>
#include <QString>

// A realistic Dutch home, built in code, shared by the search and overview tests.
namespace DutchHome {

using namespace Qt::StringLiterals;

inline Capability capability(const QString &id, Capability::Kind kind, bool setable,
                             std::optional<CapabilityValue> value,
                             std::optional<QString> units = std::nullopt,
                             std::optional<int> decimals = std::nullopt)
{
    return {.id = id,
            .kind = kind,
            .title = id,
            .getable = true,
            .setable = setable,
            .units = std::move(units),
            .decimals = decimals,
            .value = std::move(value)};
}

inline Capability onoff(std::optional<bool> on, const QString &id = u"onoff"_s)
{
    return capability(id, Capability::Kind::boolean, true,
                      on ? std::optional(CapabilityValue::fromBool(*on)) : std::nullopt);
}

inline Capability dim(double level)
{
    return capability(u"dim"_s, Capability::Kind::number, true, CapabilityValue::fromNumber(level), u"%"_s,
                      2);
}

inline Capability number(const QString &id, std::optional<double> value,
                         std::optional<QString> units = std::nullopt,
                         std::optional<int> decimals = std::nullopt)
{
    return capability(id, Capability::Kind::number, false,
                      value ? std::optional(CapabilityValue::fromNumber(*value)) : std::nullopt,
                      std::move(units), decimals);
}

inline Capability flag(const QString &id, bool value, bool setable = false)
{
    return capability(id, Capability::Kind::boolean, setable, CapabilityValue::fromBool(value));
}

inline Device device(const QString &id, const QString &name, const QString &zoneID,
                     const QString &deviceClass, std::initializer_list<Capability> capabilities)
{
    Device d{.id = id,
             .name = name,
             .zoneID = zoneID,
             .deviceClass = deviceClass,
             .available = true,
             .ready = true};
    for (const Capability &cap : capabilities) {
        d.capabilities[cap.id] = cap;
        d.capabilityOrder.append(cap.id);
    }
    return d;
}

inline Device onoffLight(const QString &id, const QString &name, const QString &zoneID, bool on)
{
    return device(id, name, zoneID, u"light"_s, {onoff(on)});
}

inline Device dimLight(const QString &id, const QString &name, const QString &zoneID, bool on, double level)
{
    return device(id, name, zoneID, u"light"_s, {onoff(on), dim(level)});
}

inline Zone zone(const QString &id, const QString &name, std::optional<QString> parentID,
                 const QString &icon = u"default"_s)
{
    return Zone{id, name, std::move(parentID), icon, false, std::nullopt};
}

inline Flow flow(const QString &id, const QString &name, bool enabled = true, bool advanced = false,
                 bool triggerable = true)
{
    return Flow{id, name, enabled, advanced, triggerable, std::nullopt};
}

inline Mood mood(const QString &id, const QString &name, std::optional<QString> zoneID = std::nullopt)
{
    return Mood{id, name, std::move(zoneID)};
}

// One text member of each value, in order.
QStringList fields(const auto &values, auto member)
{
    QStringList result;
    for (const auto &value : values)
        result.append(value.*member);
    return result;
}

template <typename T> void put(QHash<QString, T> &map, T value)
{
    const QString id = value.id;
    map.insert(id, std::move(value));
}

struct Home {
    DeviceMap devices;
    ZoneMap zones;
    FlowMap flows;
    MoodMap moods;
    Favorites favorites;
};

// Huis > Begane grond > Woonkamer, Keuken, Kantoor, Hal; Huis > Eerste verdieping > Slaapkamer, Badkamer,
// Overloop (sensors only), Zolder (empty); Huis > Tuin.
inline Home home()
{
    Home h;
    put(h.zones, zone(u"huis"_s, u"Huis"_s, std::nullopt, u"home"_s));
    put(h.zones, zone(u"bg"_s, u"Begane grond"_s, u"huis"_s));
    put(h.zones, zone(u"eerste"_s, u"Eerste verdieping"_s, u"huis"_s, u"stairs-up"_s));
    put(h.zones, zone(u"woonkamer"_s, u"Woonkamer"_s, u"bg"_s, u"living"_s));
    put(h.zones, zone(u"keuken"_s, u"Keuken"_s, u"bg"_s, u"kitchen"_s));
    put(h.zones, zone(u"kantoor"_s, u"Kantoor"_s, u"bg"_s, u"books"_s));
    put(h.zones, zone(u"hal"_s, u"Hal"_s, u"bg"_s));
    put(h.zones, zone(u"slaapkamer"_s, u"Slaapkamer"_s, u"eerste"_s, u"bed"_s));
    put(h.zones, zone(u"badkamer"_s, u"Badkamer"_s, u"eerste"_s, u"shower"_s));
    put(h.zones, zone(u"overloop"_s, u"Overloop"_s, u"eerste"_s));
    put(h.zones, zone(u"zolder"_s, u"Zolder"_s, u"eerste"_s));
    put(h.zones, zone(u"tuin"_s, u"Tuin"_s, u"huis"_s, u"garden"_s));

    put(h.devices, dimLight(u"plafond"_s, u"Plafondlamp"_s, u"woonkamer"_s, true, 0.4));
    put(h.devices, onoffLight(u"staande"_s, u"Staande lamp"_s, u"woonkamer"_s, true));
    put(h.devices, dimLight(u"lees"_s, u"Leeslamp"_s, u"woonkamer"_s, false, 0.8));
    // A plain switch named after the mood it mirrors.
    put(h.devices, onoffLight(u"filmtwin"_s, u"Film avond"_s, u"woonkamer"_s, true));
    put(h.devices, device(u"tv"_s, u"Televisie"_s, u"woonkamer"_s, u"tv"_s, {onoff(false)}));
    put(h.devices, device(u"thermo"_s, u"Thermometer"_s, u"woonkamer"_s, u"sensor"_s,
                          {number(u"measure_temperature"_s, 21.456, u"°C"_s, 1)}));
    put(h.devices, dimLight(u"keukenlamp"_s, u"Keuken lamp"_s, u"keuken"_s, false, 0.42));
    put(h.devices, device(u"koffie"_s, u"Koffiezetapparaat"_s, u"keuken"_s, u"socket"_s, {onoff(true)}));
    put(h.devices, onoffLight(u"bureau"_s, u"Bureaulamp"_s, u"kantoor"_s, true));
    put(h.devices, onoffLight(u"lamp2"_s, u"Lamp 2"_s, u"kantoor"_s, false));
    put(h.devices, onoffLight(u"lamp10"_s, u"Lamp 10"_s, u"kantoor"_s, false));
    put(h.devices,
        device(u"voordeur"_s, u"Voordeur"_s, u"hal"_s, u"lock"_s, {flag(u"locked"_s, true, true)}));
    put(h.devices, dimLight(u"nacht"_s, u"Nachtlampje"_s, u"slaapkamer"_s, true, 0.1));
    Device spiegel = onoffLight(u"spiegel"_s, u"Spiegellamp"_s, u"badkamer"_s, false);
    spiegel.available = false;
    put(h.devices, spiegel);
    put(h.devices, device(u"beweging"_s, u"Bewegingssensor"_s, u"overloop"_s, u"sensor"_s,
                          {flag(u"alarm_motion"_s, true)}));
    put(h.devices, onoffLight(u"tuinlamp"_s, u"Tuinverlichting"_s, u"tuin"_s, false));
    // Named like an enabled flow: the flow stands for it in the search.
    put(h.devices, device(u"goedemorgenknop"_s, u"Goedemorgen"_s, u"hal"_s, u"button"_s, {onoff(false)}));
    // Named like a disabled flow only: still indexed.
    put(h.devices, device(u"oud"_s, u"Oude schakelaar"_s, u"tuin"_s, u"socket"_s, {onoff(false)}));

    put(h.flows, flow(u"goedemorgen"_s, u"Goedemorgen"_s));
    put(h.flows, flow(u"allesuit"_s, u"Alles uit"_s));
    put(h.flows, flow(u"allesuit2"_s, u"alles UIT"_s)); // folds like "Alles uit"
    put(h.flows, flow(u"herstart"_s, u"Homey herstart"_s));
    put(h.flows, flow(u"welkom"_s, u"Welkom thuis"_s, true, true));
    put(h.flows, flow(u"oud"_s, u"Oude schakelaar"_s, false));

    put(h.moods, mood(u"film"_s, u"Film avond"_s, u"woonkamer"_s));
    put(h.moods, mood(u"diner"_s, u"Diner"_s, u"keuken"_s));
    put(h.moods, mood(u"gezellig"_s, u"Gezellig"_s));
    put(h.moods, mood(u"verdwenen"_s, u"Weg"_s, u"nergens"_s));

    h.favorites.flowIDs = {u"herstart"_s, u"goedemorgen"_s};
    h.favorites.moodIDs = {u"diner"_s};
    h.favorites.deviceIDs = {u"koffie"_s, u"voordeur"_s};
    return h;
}

} // namespace DutchHome
