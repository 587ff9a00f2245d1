#pragma once

#include "homey/model/device.h"

#include <initializer_list>
#include <optional>
#include <QString>
#include <QStringList>

// The devices the control tests open, each as the hub describes it.
namespace ControlDevices {

using namespace Qt::StringLiterals;
using Kind = Capability::Kind;

inline Capability cap(const QString &id, Kind kind, std::optional<CapabilityValue> value, bool setable = true)
{
    Capability made;
    made.id = id;
    made.kind = kind;
    made.title = id;
    made.getable = true;
    made.setable = setable;
    made.value = std::move(value);
    return made;
}
inline Capability boolean(const QString &id, std::optional<bool> value, bool setable = true)
{
    return cap(id, Kind::boolean, value ? std::optional(CapabilityValue::fromBool(*value)) : std::nullopt,
               setable);
}
inline Capability number(const QString &id, double value, std::optional<double> min = std::nullopt,
                         std::optional<double> max = std::nullopt, bool setable = true)
{
    Capability made = cap(id, Kind::number, CapabilityValue::fromNumber(value), setable);
    made.min = min;
    made.max = max;
    return made;
}
inline Capability modes(const QString &id, const QString &value, const QStringList &optionIDs)
{
    Capability made = cap(id, Kind::enumeration, CapabilityValue::fromString(value));
    for (const QString &option : optionIDs)
        made.options.append({option, option.toUpper()});
    return made;
}

inline Device device(const QString &id, const QString &deviceClass, const QStringList &components,
                     std::initializer_list<Capability> capabilities)
{
    Device made;
    made.id = id;
    made.name = id;
    made.zoneID = u"woonkamer"_s;
    made.deviceClass = deviceClass;
    made.available = true;
    made.ready = true;
    made.uiComponents = components;
    for (const Capability &capability : capabilities) {
        made.capabilities.emplace(capability.id, capability);
        made.capabilityOrder.append(capability.id);
    }
    return made;
}

inline Device plainLamp()
{
    return device(u"lamp"_s, u"light"_s, {u"toggle"_s}, {boolean(u"onoff"_s, true)});
}

inline Device colourLamp()
{
    Capability level = number(u"dim"_s, 0.4, 0, 1);
    level.units = u"%"_s;
    return device(u"kleurlamp"_s, u"light"_s, {u"toggle"_s, u"slider"_s, u"color"_s},
                  {boolean(u"onoff"_s, true), level, number(u"light_temperature"_s, 0.3),
                   number(u"light_hue"_s, 0.6), number(u"light_saturation"_s, 0.8),
                   modes(u"light_mode"_s, u"color"_s, {u"color"_s, u"temperature"_s}),
                   number(u"measure_power"_s, 7.5, std::nullopt, std::nullopt, false)});
}

inline Device thermostat()
{
    Capability target = number(u"target_temperature"_s, 21, 5, 30);
    target.units = u"°C"_s;
    return device(u"thermostaat"_s, u"thermostat"_s, {u"thermostat"_s, u"sensor"_s},
                  {target, number(u"measure_temperature"_s, 19.5, std::nullopt, std::nullopt, false)});
}

inline Device speaker()
{
    return device(u"speaker"_s, u"speaker"_s, {u"media"_s},
                  {boolean(u"speaker_playing"_s, false), number(u"volume_set"_s, 0.25, 0, 1)});
}

inline Device twoChannelSwitch()
{
    return device(u"schakelaar"_s, u"socket"_s, {},
                  {boolean(u"onoff.output1"_s, false), boolean(u"onoff.output2"_s, false),
                   number(u"measure_power"_s, 3, std::nullopt, std::nullopt, false)});
}

inline Device lock()
{
    return device(u"voordeur"_s, u"lock"_s, {u"button"_s, u"toggle"_s},
                  {boolean(u"locked"_s, true), boolean(u"button_unlatch"_s, false)});
}

inline Device alarm()
{
    return device(
        u"alarm"_s, u"homealarm"_s, {u"picker"_s},
        {modes(u"homealarm_state"_s, u"armed"_s, {u"armed"_s, u"partially_armed"_s, u"disarmed"_s})});
}

} // namespace ControlDevices
