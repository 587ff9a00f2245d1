#pragma once

#include "homey/model/homeyevent.h"

#include <QJsonArray>
#include <QJsonDocument>

// One event in words, so a test compares whole streams at a glance.
inline QString eventText(const HomeyEvent &event)
{
    using namespace Qt::StringLiterals;
    if (const auto *c = event.as<HomeyEvent::Capability>()) {
        const QByteArray value = QJsonDocument(QJsonArray{c->value.toJson()}).toJson(QJsonDocument::Compact);
        return u"capability %1 %2 %3 %4"_s.arg(c->deviceID, c->capabilityID, QString::fromUtf8(value),
                                               c->transactionID.value_or(u"-"_s));
    }
    if (const auto *d = event.as<HomeyEvent::DeviceUpdated>())
        return u"device "_s + d->device.id;
    if (const auto *d = event.as<HomeyEvent::DeviceDeleted>())
        return u"deleted "_s + d->deviceID;
    if (const auto *z = event.as<HomeyEvent::ZoneUpdated>())
        return u"zone "_s + z->zone.id;
    if (const auto *n = event.as<HomeyEvent::NotificationCreated>())
        return u"notification "_s + n->notification.id;
    if (const auto *d = event.as<HomeyEvent::Disconnected>())
        return u"disconnected "_s + d->reason;
    return event.as<HomeyEvent::FlowsChanged>() ? u"flows"_s : u"connected"_s;
}
