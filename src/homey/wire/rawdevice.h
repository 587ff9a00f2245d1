#pragma once

#include "homey/model/device.h"
#include "homey/wire/jsonreader.h"
#include "homey/wire/rawcapability.h"
#include "homey/wire/rawdeviceui.h"
#include "homey/wire/rawenergyobj.h"

#include <map>
#include <optional>
#include <QList>
#include <QString>

// A device as the hub sends it; the hub's many other fields are ignored.
struct RawDevice {
    QString id;
    QString name;
    std::optional<QString> zone;
    // "class" in the JSON.
    std::optional<QString> deviceClass;
    std::optional<QString> virtualClass;
    std::optional<bool> available;
    std::optional<bool> ready;
    std::optional<QString> unavailableMessage;
    std::optional<QList<QString>> capabilities;
    std::optional<std::map<QString, RawCapability>> capabilitiesObj;
    std::optional<RawDeviceUI> ui;
    std::optional<RawEnergyObj> energyObj;
    std::optional<QString> color;

    static RawDevice decode(const JsonReader &reader);
    Device toDevice() const;

    bool operator==(const RawDevice &) const = default;

private:
    std::optional<Device::EnergyRole> energyRole(const std::map<QString, Capability> &converted) const;
};
