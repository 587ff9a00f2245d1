#pragma once

#include "../search/dutchhome.h"
#include "awaittask.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "store/home/homestore.h"

#include <memory>
#include <QMetaProperty>
#include <QSignalSpy>

namespace DutchHome {

// The Dutch home with an inverter and a smart meter in the garden.
inline Home metered()
{
    Home home = DutchHome::home();
    Device inverter = device(u"omvormer"_s, u"Omvormer"_s, u"tuin"_s, u"solarpanel"_s,
                             {number(u"measure_power"_s, 10.6, u"W"_s)});
    inverter.energyRole = Device::EnergyRole::generator;
    Device meter = device(u"meter"_s, u"Slimme meter"_s, u"tuin"_s, u"sensor"_s,
                          {number(u"measure_power"_s, -3.4, u"W"_s)});
    meter.energyRole = Device::EnergyRole::gridMeter;
    put(home.devices, inverter);
    put(home.devices, meter);
    return home;
}

// The Dutch home with an attic of 13 dark spots (every third one dimmable) and a few odd devices.
inline Home writable()
{
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
    // An alarm's siren: a plain switch, but one of the alarm's.
    put(home.devices, device(u"sirene"_s, u"Sirene"_s, u"hal"_s, u"homealarm"_s, {onoff(false)}));
    Capability target =
        capability(u"target_temperature"_s, Capability::Kind::number, true, CapabilityValue::fromNumber(20));
    target.min = 5;
    target.max = 30;
    put(home.devices, device(u"cv"_s, u"Thermostaat"_s, u"woonkamer"_s, u"thermostat"_s, {target}));
    return home;
}

} // namespace DutchHome

constexpr auto on = &CapabilityValue::fromBool;

// A store over the in-memory hub, serving the Dutch test home, on a clock the test moves.
struct HomeFixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeRestClient> rest = std::make_shared<FakeRestClient>(clock);
    std::shared_ptr<FakeRealtime> realtime;
    SettingsStore defaults{QStringLiteral("homestore")};
    std::unique_ptr<HomeStore> store;

    // Without a realtime link the store ends degraded after its start.
    explicit HomeFixture(bool withRealtime = true, const DutchHome::Home &home = DutchHome::home(),
                         HomeStore::Options options = {})
    {
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
        rest->home.favorites = home.favorites;
        if (withRealtime) {
            realtime = std::make_shared<FakeRealtime>();
            realtime->clock = clock;
        }
        // Every test begins with nothing remembered: no recent rows, no notification seen before.
        defaults.remove(HomeStore::recentKey);
        defaults.remove(QStringLiteral("notify.shownIDs"));
        m_options = options;
        m_options.clock = clock;
        reopen();
    }

    // A new store in place of the old one, over the same hub and defaults.
    void reopen() { store = std::make_unique<HomeStore>(rest, realtime, nullptr, defaults, m_options); }

    // Starts the store and gives the hub time to answer: live, or degraded without a realtime link.
    void start(std::chrono::milliseconds answers = std::chrono::milliseconds(0))
    {
        store->start();
        clock->advance(answers);
    }
    // One event from the hub, applied.
    void push(HomeyEvent event)
    {
        realtime->push(std::move(event));
        ManualClock::settle();
    }
    void change(const QString &deviceID, const QString &capabilityID, CapabilityValue value)
    {
        push(HomeyEvent::Capability{deviceID, capabilityID, std::move(value), std::nullopt});
    }
    std::optional<CapabilityValue> value(const QString &deviceID, const QString &capabilityID) const
    {
        const Device device = store->devices().value(deviceID);
        const Capability *capability = device.capability(capabilityID);
        return capability ? capability->value : std::nullopt;
    }
    int calls(const QString &operation) const { return int(rest->calls.count(operation)); }
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

private:
    HomeStore::Options m_options;
};

// The writable home loaded without a realtime link: the store stays degraded and only the writes matter.
struct WriteFixture : HomeFixture {
    WriteFixture() : HomeFixture(false, DutchHome::writable()) { start(); }
};

// Counts the announcements of every property of an object, by property name.
class Announcements {
public:
    using Counts = QMap<QString, int>;

    explicit Announcements(QObject *object)
    {
        const QMetaObject *meta = object->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.hasNotifySignal())
                m_spies.emplace_back(QString::fromLatin1(property.name()),
                                     std::make_unique<QSignalSpy>(object, property.notifySignal()));
        }
    }

    // What was announced since the last call, leaving out properties not announced at all.
    Counts take()
    {
        Counts counts;
        for (auto &[name, spy] : m_spies) {
            if (!spy->isEmpty())
                counts.insert(name, int(spy->count()));
            spy->clear();
        }
        return counts;
    }

private:
    std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> m_spies;
};
