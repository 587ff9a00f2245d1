#include "homey/wire/rawdevice.h"

#include "base/text/textorder.h"

#include <algorithm>

using namespace Qt::StringLiterals;

RawDevice RawDevice::decode(const JsonReader &reader)
{
    RawDevice device;
    device.id = reader.required<QString>("id"_L1);
    device.name = reader.required<QString>("name"_L1);
    device.zone = reader.optional<QString>("zone"_L1);
    device.deviceClass = reader.optional<QString>("class"_L1);
    device.virtualClass = reader.optional<QString>("virtualClass"_L1);
    device.available = reader.optional<bool>("available"_L1);
    device.ready = reader.optional<bool>("ready"_L1);
    device.unavailableMessage = reader.optional<QString>("unavailableMessage"_L1);
    device.capabilities = reader.optional<QList<QString>>("capabilities"_L1);
    device.capabilitiesObj = reader.optional<std::map<QString, RawCapability>>("capabilitiesObj"_L1);
    device.ui = reader.optional<RawDeviceUI>("ui"_L1);
    device.energyObj = reader.optional<RawEnergyObj>("energyObj"_L1);
    device.color = reader.optional<QString>("color"_L1);
    return device;
}

Device RawDevice::toDevice() const
{
    Device device;
    device.id = id;
    device.name = name;
    if (capabilitiesObj) {
        // Both maps order by the same key: each entry goes at the end without a search.
        for (const auto &[key, capability] : *capabilitiesObj)
            device.capabilities.emplace_hint(device.capabilities.end(), key, capability.toCapability(key));
    }
    if (capabilities && !capabilities->isEmpty()) {
        device.capabilityOrder = *capabilities;
    } else {
        // std::map already orders QString keys by UTF-16 code units; that is not code point order once
        // a key leaves the Basic Multilingual Plane.
        for (const auto &entry : device.capabilities)
            device.capabilityOrder.append(entry.first);
        std::stable_sort(device.capabilityOrder.begin(), device.capabilityOrder.end(),
                         [](const QString &a, const QString &b) { return TextOrder::codePointLess(a, b); });
    }
    device.zoneID = zone.value_or(QString());
    device.deviceClass = virtualClass ? *virtualClass : deviceClass.value_or(u"other"_s);
    device.available = available.value_or(true);
    device.ready = ready.value_or(true);
    device.unavailableMessage = unavailableMessage;
    if (ui) {
        device.uiQuickAction = ui->quickAction;
        if (ui->components) {
            for (const RawDeviceUI::Component &component : *ui->components) {
                if (component.id)
                    device.uiComponents.append(*component.id);
            }
        }
    }
    if (energyObj)
        device.energyW = energyObj->W;
    device.energyRole = energyRole(device.capabilities);
    device.color = color;
    return device;
}

std::optional<Device::EnergyRole> RawDevice::energyRole(const std::map<QString, Capability> &converted) const
{
    if (!converted.contains(Device::powerCapability()) || !energyObj)
        return std::nullopt;
    if (energyObj->generator.value_or(false))
        return Device::EnergyRole::generator;
    if (energyObj->cumulative.value_or(false))
        return Device::EnergyRole::gridMeter;
    return std::nullopt;
}
