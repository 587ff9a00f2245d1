#pragma once

#include "homey/model/capabilityvalue.h"
#include "homey/wire/jsonreader.h"
#include "homey/wire/rawcapability.h"

#include <optional>
#include <QString>

// The payload of a device's capability event on the realtime socket.
struct RawCapabilityEvent {
    QString capabilityId;
    std::optional<CapabilityValue> value;
    std::optional<QString> transactionId;
    std::optional<double> transactionTime;

    static RawCapabilityEvent decode(const JsonReader &reader);
    bool operator==(const RawCapabilityEvent &) const = default;
};
