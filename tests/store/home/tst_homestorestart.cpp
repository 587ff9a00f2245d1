#include "../search/dutchhome.h"
#include "awaittask.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "logcapture.h"
#include "manualclock.h"
#include "store/home/homestore.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestHomeStoreStart : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> m_clock = std::make_shared<ManualClock>();

    std::shared_ptr<FakeRestClient> restWithHome()
    {
        auto rest = std::make_shared<FakeRestClient>(m_clock);
        const DutchHome::Home home = DutchHome::home();
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
        rest->home.favorites = home.favorites;
        return rest;
    }

private Q_SLOTS:
    void startsLiveAndSearches()
    {
        SettingsStore defaults(u"homestorestart"_s);
        defaults.remove(HomeStore::recentKey);
        auto realtime = std::make_shared<FakeRealtime>();
        HomeStore store(restWithHome(), realtime, nullptr, defaults, {m_clock});
        LogCapture log;
        awaitTask(store.start());
        m_clock->advance(0ms);
        QCOMPARE(store.connection(), ConnectionState::live());
        QVERIFY(!store.rest().rooms.isEmpty());
        QCOMPARE(log.matching(u"snapshot: "_s).size(), 1);

        store.setQuery(u"plafond"_s);
        QCOMPARE(store.mode(), HomeStore::Mode::Results);
        QVERIFY(!store.hits().isEmpty());
        QCOMPARE(store.hits().first().title, u"Plafondlamp"_s);

        store.enterScope(u"woonkamer"_s);
        QCOMPARE(store.mode(), HomeStore::Mode::Room);
        QVERIFY(store.room().has_value());
        QCOMPARE(log.matching(u"scope: ingezoomd op Woonkamer (room=gebouwd"_s).size(), 1);

        awaitTask(store.stop());
        QCOMPARE(store.connection(), ConnectionState::idle());
        QCOMPARE(realtime->disconnects, 1);
    }

    void reconnectsWithBackOff()
    {
        auto realtime = std::make_shared<FakeRealtime>();
        HomeStore store(restWithHome(), realtime, nullptr, SettingsStore(u"homestorestart"_s), {m_clock});
        awaitTask(store.start());
        realtime->connectFailure = HomeyError::unreachable(u"hub"_s);
        realtime->end();
        m_clock->advance(0ms);
        QCOMPARE(store.connection().kind(), ConnectionState::Kind::degraded);
        m_clock->advance(1s);
        QCOMPARE(realtime->connects.size(), 2);
        m_clock->advance(2s);
        QCOMPARE(realtime->connects.size(), 3);
        realtime->connectFailure.reset();
        m_clock->advance(4s);
        QCOMPARE(realtime->connects.size(), 4);
        QCOMPARE(store.connection(), ConnectionState::live());
        awaitTask(store.stop());
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreStart)
#include "tst_homestorestart.moc"
