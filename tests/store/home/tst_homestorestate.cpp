// What the store announces and when, the rebuilds that wait for the panel, and the recently used rows.
#include "homefixture.h"

#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using Counts = Announcements::Counts;

class TestHomeStoreState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newStoreIsIdleAndAsksNothing()
    {
        HomeFixture f;
        QCOMPARE(f.store->connection(), ConnectionState::idle());
        QVERIFY(f.rest->calls.isEmpty());
        QVERIFY(f.store->notifications());

        NotificationFeed shared(f.defaults);
        HomeStore second(f.rest, nullptr, &shared, f.defaults, {f.clock});
        QCOMPARE(second.notifications(), &shared);
    }

    void announcesOnlyRealChanges()
    {
        HomeFixture f;
        f.start();
        Announcements announced(f.store.get());

        f.store->setQuery(u"lamp"_s);
        QCOMPARE(announced.take(), (Counts{{u"query"_s, 1}, {u"hits"_s, 1}, {u"mode"_s, 1}}));
        f.store->setQuery(u"lamp"_s);
        f.store->setSelection(0);
        f.store->moveSelection(-1);
        QCOMPARE(announced.take(), Counts{});
        f.store->moveSelection(2);
        QCOMPARE(announced.take(), (Counts{{u"selection"_s, 1}}));

        f.store->enterScope(u"woonkamer"_s);
        QCOMPARE(announced.take(), (Counts{{u"scopeZoneID"_s, 1},
                                           {u"room"_s, 1},
                                           {u"roomHits"_s, 1},
                                           {u"query"_s, 1},
                                           {u"hits"_s, 1},
                                           {u"selection"_s, 1},
                                           {u"mode"_s, 1},
                                           {u"recent"_s, 1}}));
        f.store->enterScope(u"nergens"_s);
        QCOMPARE(announced.take(), Counts{});
        f.store->exitScope();
        QCOMPARE(announced.take(),
                 (Counts{{u"scopeZoneID"_s, 1}, {u"room"_s, 1}, {u"roomHits"_s, 1}, {u"mode"_s, 1}}));

        f.store->enterNotifications();
        f.store->enterNotifications();
        QCOMPARE(announced.take(), (Counts{{u"showsNotifications"_s, 1}, {u"mode"_s, 1}}));
        f.store->exitNotifications();
        QCOMPARE(announced.take(), (Counts{{u"showsNotifications"_s, 1}, {u"mode"_s, 1}}));

        // A reload of an unchanged home: the state goes through loading and back, and lastError,
        // which has no equality, is announced although it stays empty.
        f.store->resync();
        QCOMPARE(announced.take(), (Counts{{u"connection"_s, 2}, {u"lastError"_s, 1}}));
        f.push(HomeyEvent::Connected{}); // live already; its reload as above
        QCOMPARE(announced.take(), (Counts{{u"connection"_s, 2}, {u"lastError"_s, 2}}));
    }

    void hiddenChangesWaitForThePanel()
    {
        HomeFixture f;
        f.start();
        f.store->setQuery(u"leeslamp"_s);
        const RestState rest = f.store->rest();
        const QList<Hit> hits = f.store->hits();
        Announcements announced(f.store.get());

        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        f.change(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.3));
        QCOMPARE(f.store->rest(), rest);
        QCOMPARE(f.store->hits(), hits);
        QCOMPARE(announced.take(), (Counts{{u"devices"_s, 2}, {u"eventCount"_s, 2}}));

        f.store->panelDidAppear();
        QCOMPARE(announced.take(), (Counts{{u"rest"_s, 1}, {u"hits"_s, 1}}));
        QCOMPARE(f.store->rest().lightsOnTotal, rest.lightsOnTotal + 1);
        f.store->panelDidDisappear();
        f.store->panelDidAppear();
        QCOMPARE(announced.take(), Counts{});

        // Shown, a change is drawn at once.
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(false));
        QCOMPARE(announced.take(),
                 (Counts{{u"devices"_s, 1}, {u"eventCount"_s, 1}, {u"rest"_s, 1}, {u"hits"_s, 1}}));
    }

    // Each hold ends with a rebuild, hidden or not, whoever else still holds.
    void heldBatchesRebuildAsTheyEnd()
    {
        HomeFixture f;
        f.start();
        const int lightsOn = f.store->rest().lightsOnTotal;
        f.store->holdBatch(100);
        f.store->holdBatch(200);
        f.change(u"lees"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        f.clock->advance(100ms);
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 1);
        f.change(u"tuinlamp"_s, u"onoff"_s, CapabilityValue::fromBool(true));
        f.clock->advance(100ms);
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 2);

        f.change(u"tuinlamp"_s, u"onoff"_s, CapabilityValue::fromBool(false));
        f.store->holdBatch(0);
        f.clock->advance(0ms);
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 1);
    }

    void recentUsesReadBack_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("entries");
        QTest::newRow("numbers") << u"m:{\"room:keuken\":\"1767603600\",\"device:lees\":\"1767603660.5\"}"_s
                                 << 2;
        QTest::newRow("one text") << u"m:{\"room:keuken\":\"1767603600\",\"device:lees\":\"gisteren\"}"_s
                                  << 0;
        QTest::newRow("broken") << u"m:{\"room:keuken\":"_s << 0;
        QTest::newRow("not a map") << u"s:room:keuken"_s << 0;
        QTest::newRow("beyond any date") << u"m:{\"room:keuken\":\"1e300\"}"_s << 0;
    }
    void recentUsesReadBack()
    {
        QFETCH(QString, stored);
        QFETCH(int, entries);
        HomeFixture f;
        QSettings(f.defaults.filePath(), QSettings::IniFormat).setValue(HomeStore::recentKey, stored);
        HomeStore store(f.rest, nullptr, nullptr, f.defaults, {f.clock});
        QCOMPARE(store.recent().size(), entries);
        if (entries > 0)
            QCOMPARE(store.recent().value(u"device:lees"_s),
                     QDateTime(QDate(2026, 1, 5), QTime(9, 1, 0, 500), Qt::UTC));
    }

    void recentUsesKeepTheNewestHundred()
    {
        HomeFixture f;
        QMap<QString, double> stored;
        const double start = double(f.clock->wallNow().toSecsSinceEpoch()) - 1000.0;
        for (int i = 0; i < 200; ++i)
            stored.insert(u"device:d%1"_s.arg(i), start + i);
        f.defaults.setValue(HomeStore::recentKey, stored);
        f.reopen();
        f.start();
        QCOMPARE(f.store->recent().size(), 200);

        // One more cuts to the hundred newest, the new one among them; using it again adds nothing.
        f.store->enterScope(u"keuken"_s);
        QCOMPARE(f.store->recent().size(), 100);
        QVERIFY(f.store->recent().contains(u"room:keuken"_s));
        QVERIFY(f.store->recent().contains(u"device:d199"_s));
        QVERIFY(!f.store->recent().contains(u"device:d100"_s));
        f.clock->advance(5s);
        f.store->enterScope(u"keuken"_s);
        QCOMPARE(f.store->recent().size(), 100);
        QCOMPARE(f.store->recent().value(u"room:keuken"_s), f.clock->wallNow());

        const RecentUses remembered = f.store->recent();
        f.reopen();
        QCOMPARE(f.store->recent(), remembered);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreState)
#include "tst_homestorestate.moc"
