#pragma once

#include "homey/model/capability.h"
#include "homey/model/capabilityvalue.h"
#include "homey/wire/homeytimestamp.h"
#include "homey/wire/jsonreader.h"

#include <optional>
#include <QList>
#include <QString>

// Any present JSON value is a capability value; objects and arrays read as none.
template <> struct JsonDecode<CapabilityValue> {
    static CapabilityValue decode(const JsonReader &reader);
};

// One capability inside a device's capabilitiesObj. Every field is optional.
struct RawCapability {
    // One choice of an enumeration.
    struct RawOption {
        std::optional<QString> id;
        std::optional<QString> title;

        static RawOption decode(const JsonReader &reader);
        bool operator==(const RawOption &) const = default;
    };

    std::optional<QString> id;
    std::optional<QString> type;
    std::optional<QString> title;
    std::optional<bool> getable;
    std::optional<bool> setable;
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> step;
    std::optional<QString> units;
    std::optional<qint64> decimals;
    std::optional<QList<RawOption>> values;
    std::optional<CapabilityValue> value;
    std::optional<HomeyTimestamp> lastUpdated;

    static RawCapability decode(const JsonReader &reader);
    // key is the capability's key in the device's map; the record's own id is not used.
    Capability toCapability(const QString &key) const;

    bool operator==(const RawCapability &) const = default;
};
