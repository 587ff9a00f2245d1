#pragma once

#include "../search/dutchhome.h"
#include "awaittask.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "store/home/homestore.h"

#include <memory>

// A loaded store over the in-memory hub, on a clock the test moves. No realtime link: the store stays
// degraded and only the writes matter.
struct StoreFixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeRestClient> rest = std::make_shared<FakeRestClient>(clock);
    std::unique_ptr<HomeStore> store;

    explicit StoreFixture(const DutchHome::Home &home = DutchHome::home())
    {
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
        rest->home.favorites = home.favorites;
        SettingsStore defaults(QStringLiteral("homestorewrites"));
        defaults.remove(HomeStore::recentKey);
        store = std::make_unique<HomeStore>(rest, nullptr, nullptr, defaults, HomeStore::Options{clock});
        awaitTask(store->start());
    }

    std::optional<CapabilityValue> value(const QString &deviceID, const QString &capabilityID) const
    {
        const Device device = store->devices().value(deviceID);
        const Capability *capability = device.capability(capabilityID);
        return capability ? capability->value : std::nullopt;
    }
    // The hub's writes as "device capability value" lines.
    QStringList writes() const
    {
        QStringList lines;
        for (const FakeRestClient::Write &write : rest->writes) {
            const QJsonValue json = write.value.toJson();
            const QString value = json.isBool()
                                      ? (json.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                      : QString::number(json.toDouble());
            lines.append(write.deviceID + u' ' + write.capabilityID + u' ' + value);
        }
        return lines;
    }
};
