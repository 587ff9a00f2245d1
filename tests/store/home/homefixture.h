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
        serve(home);
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

    void serve(const DutchHome::Home &home)
    {
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
        rest->home.favorites = home.favorites;
    }

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

private:
    HomeStore::Options m_options;
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
