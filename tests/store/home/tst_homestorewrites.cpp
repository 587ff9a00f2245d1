#include "storefixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const HomeyError refused = HomeyError::http(500, u"/api/manager/devices/device/lees/capability/onoff"_s);

CapabilityValue on(bool value)
{
    return CapabilityValue::fromBool(value);
}

} // namespace

class TestHomeStoreWrites : public QObject {
    Q_OBJECT

    static std::optional<CapabilityValue> pending(const HomeStore &store, const QString &key)
    {
        const auto found = store.m_pending.find(key);
        return found != store.m_pending.end() ? std::optional(found->second.value) : std::nullopt;
    }

private Q_SLOTS:
    void showsAtOnceAndRollsBackOnFailure()
    {
        StoreFixture f;
        f.rest->script(u"setCapability"_s, {100ms, refused});
        f.store->setCapability(u"lees"_s, u"onoff"_s, on(true));
        f.store->toggle(u"raar"_s); // no value yet
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(true));
        QCOMPARE(pending(*f.store, u"lees|onoff"_s), on(true));
        QCOMPARE(f.store->m_pending.at(u"lees|onoff"_s).deadline, f.clock->now() + 2s);

        f.clock->advance(100ms);
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(false));
        QCOMPARE(f.value(u"raar"_s, u"onoff"_s), CapabilityValue::none());
        QVERIFY(!pending(*f.store, u"lees|onoff"_s));
        QCOMPARE(f.store->lastError(), refused);
        QCOMPARE(f.rest->calls.count(u"setCapability"_s), 2); // never retried

        // The next good write clears the error; its record waits for the echo.
        f.rest->script(u"setCapability"_s, {});
        awaitTask(f.store->setCapability(u"duo"_s, u"onoff.output2"_s, on(false)));
        QCOMPARE(f.writes(), QStringList{u"duo onoff.output2 false"_s}); // exactly the capability asked for
        QCOMPARE(f.value(u"duo"_s, u"onoff"_s), on(true));
        QVERIFY(!f.store->lastError());
        QCOMPARE(pending(*f.store, u"duo|onoff.output2"_s), on(false));
    }

    void refusesWhatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("capability");
        QTest::newRow("unknown device") << u"weg"_s << u"onoff"_s;
        QTest::newRow("unknown capability") << u"lees"_s << u"volume_set"_s;
        QTest::newRow("read-only") << u"thermo"_s << u"measure_temperature"_s;
    }
    void refusesWhatCannotBeWritten()
    {
        QFETCH(QString, device);
        QFETCH(QString, capability);
        StoreFixture f;
        QSignalSpy devices(f.store.get(), &HomeStore::devicesChanged);
        QSignalSpy error(f.store.get(), &HomeStore::lastErrorChanged);
        awaitTask(f.store->setCapability(device, capability, CapabilityValue::fromNumber(3)));
        QVERIFY(!f.rest->calls.contains(u"setCapability"_s));
        QCOMPARE(devices.size() + error.size(), 0);
        QVERIFY(f.store->m_pending.empty());
    }

    // An earlier write that fails after a later one to the same capability undoes neither the later
    // value nor its record, even when the later record is already gone.
    void failureLeavesLaterWriteAlone_data()
    {
        QTest::addColumn<bool>("echoed");
        QTest::newRow("later still pending") << false;
        QTest::newRow("later already echoed") << true;
    }
    void failureLeavesLaterWriteAlone()
    {
        QFETCH(bool, echoed);
        StoreFixture f;
        const CapabilityValue later = CapabilityValue::fromNumber(0.9);
        f.rest->script(u"setCapability"_s, {200ms, refused});
        f.store->setCapability(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.1));
        f.rest->script(u"setCapability"_s, {50ms, std::nullopt});
        f.store->setCapability(u"lees"_s, u"dim"_s, later);
        f.clock->advance(50ms);
        if (echoed)
            f.store->m_pending.erase(u"lees|dim"_s);
        f.clock->advance(150ms);
        QCOMPARE(f.value(u"lees"_s, u"dim"_s), later);
        QCOMPARE(pending(*f.store, u"lees|dim"_s), echoed ? std::nullopt : std::optional(later));
        QCOMPARE(f.store->lastError(), refused);
    }

    void roomOf13LightsGoesOutSixAtATime()
    {
        StoreFixture f;
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        const Hit attic = f.roomHit(u"zolder aan"_s, u"zolder"_s);
        QSignalSpy rest(f.store.get(), &HomeStore::restChanged);
        QSignalSpy hits(f.store.get(), &HomeStore::hitsChanged);
        f.store->run(attic);
        // Six lanes: jobs 0-5, then 6-11, then 12 alone.
        QCOMPARE(f.rest->inFlight, 6);
        f.clock->advance(100ms);
        QCOMPARE(f.rest->writes.size(), 6);
        f.clock->advance(100ms);
        QCOMPARE(f.rest->writes.size(), 12);
        QCOMPARE(f.rest->inFlight, 1);
        QCOMPARE(rest.size() + hits.size(), 0);
        f.clock->advance(100ms);
        QCOMPARE(f.writes().filter(u" onoff true"_s).size(), 13);
        QCOMPARE(f.rest->maxInFlight, 6);
        QCOMPARE(rest.size(), 1);
        QCOMPARE(hits.size(), 1);
        QCOMPARE(f.store->rest().lightsOnTotal, 13 + 4); // four lights elsewhere were on already
        QVERIFY(f.store->recent().contains(u"room:zolder"_s));

        // Lights already in the wanted state cost no request.
        f.rest->writes.clear();
        f.store->run(attic);
        f.clock->advance(300ms);
        QVERIFY(f.rest->writes.isEmpty());
    }

    void runsEveryKindOfRow_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("started"); // flow or mood
        QTest::addColumn<QString>("strip");   // the device whose control strip opened
        QTest::newRow("lamp 40") << u"leeslamp 40"_s << QStringList{u"lees onoff true"_s, u"lees dim 0.4"_s}
                                 << QString() << QString();
        QTest::newRow("lamp dim verb") << u"leeslamp dim"_s << QStringList() << QString() << u"lees"_s;
        QTest::newRow("room off") << u"woonkamer uit"_s
                                  << QStringList{u"plafond onoff false"_s, u"staande onoff false"_s}
                                  << QString() << QString();
        QTest::newRow("room 40 toggles")
            << u"kantoor 40"_s << QStringList{u"bureau onoff false"_s} << QString() << QString();
        QTest::newRow("bare device") << u"televisie"_s << QStringList{u"tv onoff true"_s} << QString()
                                     << QString();
        QTest::newRow("quick action")
            << u"bel"_s << QStringList{u"bel button false"_s} << QString() << QString();
        QTest::newRow("number action") << u"scherm"_s << QStringList() << QString() << u"scherm"_s;
        QTest::newRow("flow") << u"homey herstart"_s << QStringList() << u"herstart"_s << QString();
        QTest::newRow("mood") << u"diner"_s << QStringList() << u"diner"_s << QString();
        QTest::newRow("guarded device") << u"voordeur uit"_s << QStringList() << QString() << u"voordeur"_s;
    }
    void runsEveryKindOfRow()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, writes);
        QFETCH(QString, started);
        QFETCH(QString, strip);
        StoreFixture f;
        f.store->setQuery(query);
        QVERIFY(!f.store->hits().isEmpty());
        const Hit hit = f.store->hits().first();
        awaitTask(f.store->run(hit));
        QStringList sent = f.writes();
        if (hit.target.kind() == Hit::Target::Kind::room)
            sent.sort(); // lanes finish in no set order
        QCOMPARE(sent, writes);
        QCOMPARE(f.rest->startedFlows + f.rest->activatedMoods,
                 started.isEmpty() ? QStringList() : QStringList{started});
        QCOMPARE(f.store->detailDeviceID().value_or(QString()), strip);
        QVERIFY(f.store->recent().contains(hit.id));
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreWrites)
#include "tst_homestorewrites.moc"
