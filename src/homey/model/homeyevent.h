#pragma once

#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"
#include "homey/model/rawnotification.h"
#include "homey/model/zone.h"

#include <optional>
#include <QString>
#include <variant>

// One change on the hub, or the realtime link's own connected/disconnected signal, in arrival order.
class HomeyEvent {
public:
    enum class Kind {
        capability,
        deviceUpdated,
        deviceDeleted,
        zoneUpdated,
        notificationCreated,
        disconnected,
        flowsChanged,
        connected
    };

    struct Capability {
        QString deviceID{};
        QString capabilityID{};
        CapabilityValue value{}; // none when the hub sent none
        std::optional<QString> transactionID{};
    };
    struct DeviceUpdated {
        Device device{}; // replaces the whole device of the same id
    };
    struct DeviceDeleted {
        QString deviceID{};
    };
    struct ZoneUpdated {
        Zone zone{};
    };
    struct NotificationCreated {
        RawNotification notification{};
    };
    struct Disconnected {
        QString reason{};
    };
    struct FlowsChanged {};
    struct Connected {};

    using Payload = std::variant<Capability, DeviceUpdated, DeviceDeleted, ZoneUpdated, NotificationCreated,
                                 Disconnected, FlowsChanged, Connected>;

    HomeyEvent(Capability event) : m_payload(std::move(event)) {}
    HomeyEvent(DeviceUpdated event) : m_payload(std::move(event)) {}
    HomeyEvent(DeviceDeleted event) : m_payload(std::move(event)) {}
    HomeyEvent(ZoneUpdated event) : m_payload(std::move(event)) {}
    HomeyEvent(NotificationCreated event) : m_payload(std::move(event)) {}
    HomeyEvent(Disconnected event) : m_payload(std::move(event)) {}
    HomeyEvent(FlowsChanged event) : m_payload(event) {}
    HomeyEvent(Connected event) : m_payload(event) {}

    Kind kind() const { return static_cast<Kind>(m_payload.index()); }
    const Payload &payload() const { return m_payload; }

    // The payload of case T, or null for another case.
    template <typename T> const T *as() const { return std::get_if<T>(&m_payload); }

private:
    Payload m_payload;
};

// The Kind enumerators follow the variant's alternatives one to one.
static_assert(std::variant_size_v<HomeyEvent::Payload> == int(HomeyEvent::Kind::connected) + 1);
