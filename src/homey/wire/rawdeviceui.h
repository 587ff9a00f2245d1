#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// The hub's own interface hints for a device.
struct RawDeviceUI {
    struct Component {
        std::optional<QString> id;
        // Read so that a malformed list fails the device, as the hub's schema demands; never used.
        std::optional<QList<QString>> capabilities;

        static Component decode(const JsonReader &reader);
        bool operator==(const Component &) const = default;
    };

    std::optional<QString> quickAction;
    std::optional<QList<Component>> components;

    static RawDeviceUI decode(const JsonReader &reader);
    bool operator==(const RawDeviceUI &) const = default;
};
