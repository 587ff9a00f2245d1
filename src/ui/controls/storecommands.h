#pragma once

#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"

#include <optional>
#include <QCoroTask>
#include <QString>

// The part of the home store that the store-backed writer routes to.
class StoreCommands {
public:
    virtual ~StoreCommands();

    virtual std::optional<Device> device(const QString &deviceID) const = 0;
    // Exactly this capability, with exactly this value.
    virtual QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value) = 0;
    // The device's own on/off capability, to the opposite of its state.
    virtual QCoro::Task<> toggle(QString deviceID) = 0;
    // The device's own dim capability; switches the lamp on or off with it.
    virtual QCoro::Task<> setDim(QString deviceID, double level) = 0;
    // The device's "target_temperature", limited to its range.
    virtual QCoro::Task<> setTarget(QString deviceID, double temperature) = 0;
};
