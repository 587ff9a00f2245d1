#pragma once

#include "../search/dutchhome.h"
#include "awaittask.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "store/home/homestore.h"

#include <memory>

// The Dutch home with an attic of 13 dark spots (every third one dimmable) and a few odd devices.
inline DutchHome::Home writableHome()
{
    using namespace DutchHome;
    Home home = DutchHome::home();
    for (int i = 1; i <= 13; ++i) {
        const QString id = u"z"_s + QString::number(i);
        const QString name = u"Spot "_s + QString::number(i);
        put(home.devices, i % 3 == 0 ? dimLight(id, name, u"zolder"_s, false, 0.5)
                                     : onoffLight(id, name, u"zolder"_s, false));
    }
    put(home.devices, device(u"raar"_s, u"Raar"_s, u"hal"_s, u"light"_s, {onoff({}), dim(0.5)}));
    put(home.devices,
        device(u"duo"_s, u"Duo"_s, u"hal"_s, u"socket"_s, {onoff(true), onoff({}, u"onoff.output2"_s)}));
    Device bel = device(u"bel"_s, u"Bel"_s, u"hal"_s, u"doorbell"_s, {flag(u"button"_s, true, true)});
    bel.uiQuickAction = u"button"_s;
    put(home.devices, bel);
    Capability level =
        capability(u"windowcoverings_set"_s, Capability::Kind::number, true, CapabilityValue::fromNumber(1));
    put(home.devices, device(u"scherm"_s, u"Scherm"_s, u"hal"_s, u"blinds"_s, {level}));
    Capability target =
        capability(u"target_temperature"_s, Capability::Kind::number, true, CapabilityValue::fromNumber(20));
    target.min = 5;
    target.max = 30;
    put(home.devices, device(u"cv"_s, u"Thermostaat"_s, u"woonkamer"_s, u"thermostat"_s, {target}));
    return home;
}

// A loaded store over the in-memory hub, on a clock the test moves. No realtime link: the store stays
// degraded and only the writes matter.
struct StoreFixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeRestClient> rest = std::make_shared<FakeRestClient>(clock);
    std::unique_ptr<HomeStore> store;

    StoreFixture()
    {
        const DutchHome::Home home = writableHome();
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
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
    // The hub's writes as "device capability value", in the order they arrived.
    QStringList writes() const
    {
        QStringList lines;
        for (const FakeRestClient::Write &write : rest->writes) {
            const QJsonValue json = write.value.toJson();
            lines.append(write.deviceID + u' ' + write.capabilityID + u' ' +
                         (json.isBool() ? QString::fromLatin1(json.toBool() ? "true" : "false")
                                        : QString::number(json.toDouble())));
        }
        return lines;
    }
    // The room whose hit the query gives, with the query's verb.
    Hit roomHit(const QString &query, const QString &zoneID)
    {
        store->setQuery(query);
        for (const Hit &hit : store->hits())
            if (hit.target == Hit::Target::room(zoneID))
                return hit;
        return {};
    }
};
