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

// A kitchen of 13 switched-off lights, every third one dimmable.
DutchHome::Home kitchenOf13()
{
    DutchHome::Home home = DutchHome::home();
    home.devices.remove(u"keukenlamp"_s);
    for (int i = 1; i <= 13; ++i) {
        const QString id = u"k"_s + QString::number(i);
        const QString name = u"Spot "_s + QString::number(i);
        DutchHome::put(home.devices, i % 3 == 0 ? DutchHome::dimLight(id, name, u"keuken"_s, false, 0.5)
                                                : DutchHome::onoffLight(id, name, u"keuken"_s, false));
    }
    return home;
}

} // namespace

class TestHomeStoreWrites : public QObject {
    Q_OBJECT

    static std::optional<CapabilityValue> pendingValue(const HomeStore &store, const QString &key)
    {
        const auto found = store.m_pending.find(key);
        return found != store.m_pending.end() ? std::optional(found->second.value) : std::nullopt;
    }

private Q_SLOTS:
    void showsAtOnceAndRollsBackOnFailure()
    {
        StoreFixture f;
        f.rest->script(u"setCapability"_s, {100ms, refused});
        QSignalSpy devices(f.store.get(), &HomeStore::devicesChanged);
        f.store->setCapability(u"lees"_s, u"onoff"_s, on(true));
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(true));
        QCOMPARE(pendingValue(*f.store, u"lees|onoff"_s), on(true));
        QCOMPARE(f.store->m_pending.at(u"lees|onoff"_s).deadline, f.clock->now() + 2s);
        QCOMPARE(devices.size(), 1);

        f.clock->advance(100ms);
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(false));
        QVERIFY(!pendingValue(*f.store, u"lees|onoff"_s));
        QCOMPARE(f.store->lastError(), refused);
        QVERIFY(f.rest->writes.isEmpty());

        // Never retried; the next good write clears the error and stays pending until the echo.
        f.rest->script(u"setCapability"_s, {});
        awaitTask(f.store->setCapability(u"plafond"_s, u"dim"_s, CapabilityValue::fromNumber(0.2)));
        QCOMPARE(f.writes(), QStringList{u"plafond dim 0.2"_s});
        QVERIFY(!f.store->lastError());
        QCOMPARE(pendingValue(*f.store, u"plafond|dim"_s), CapabilityValue::fromNumber(0.2));
    }

    void failureOfValuelessCapabilityLeavesNone()
    {
        DutchHome::Home home = DutchHome::home();
        DutchHome::put(home.devices, DutchHome::device(u"nieuw"_s, u"Nieuw"_s, u"hal"_s, u"light"_s,
                                                       {DutchHome::onoff({})}));
        StoreFixture f(home);
        f.rest->fail(u"setCapability"_s, refused);
        awaitTask(f.store->toggle(u"nieuw"_s));
        QCOMPARE(f.value(u"nieuw"_s, u"onoff"_s), CapabilityValue::none());
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
        const DeviceMap before = f.store->devices();
        QSignalSpy devices(f.store.get(), &HomeStore::devicesChanged);
        QSignalSpy error(f.store.get(), &HomeStore::lastErrorChanged);
        awaitTask(f.store->setCapability(device, capability, CapabilityValue::fromNumber(3)));
        QVERIFY(!f.rest->calls.contains(u"setCapability"_s));
        QCOMPARE(f.store->devices(), before);
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
        f.rest->script(u"setCapability"_s, {200ms, refused});
        f.store->setCapability(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.1));
        f.rest->script(u"setCapability"_s, {50ms, std::nullopt});
        f.store->setCapability(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.9));
        f.clock->advance(50ms);
        if (echoed)
            f.store->m_pending.erase(u"lees|dim"_s);
        f.clock->advance(150ms);
        QCOMPARE(f.value(u"lees"_s, u"dim"_s), CapabilityValue::fromNumber(0.9));
        QCOMPARE(pendingValue(*f.store, u"lees|dim"_s),
                 echoed ? std::nullopt : std::optional(CapabilityValue::fromNumber(0.9)));
        QCOMPARE(f.store->lastError(), refused);
    }

    // The generic write acts on exactly the capability asked for, with exactly the value asked for.
    void genericWriteKeepsTheExactCapability()
    {
        DutchHome::Home home = DutchHome::home();
        DutchHome::put(home.devices,
                       DutchHome::device(u"duo"_s, u"Duo"_s, u"hal"_s, u"socket"_s,
                                         {DutchHome::onoff(true), DutchHome::onoff({}, u"onoff.output2"_s)}));
        StoreFixture f(home);
        awaitTask(f.store->setCapability(u"duo"_s, u"onoff.output2"_s, on(false)));
        QCOMPARE(f.writes(), QStringList{u"duo onoff.output2 false"_s});
        QCOMPARE(f.value(u"duo"_s, u"onoff"_s), on(true));
    }

    void roomOf13LightsGoesOutSixAtATime()
    {
        StoreFixture f(kitchenOf13());
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        f.store->setQuery(u"keuken aan"_s);
        QCOMPARE(f.store->hits().first().target, Hit::Target::room(u"keuken"_s));
        QSignalSpy rest(f.store.get(), &HomeStore::restChanged);
        QSignalSpy hits(f.store.get(), &HomeStore::hitsChanged);
        f.store->run(f.store->hits().first());

        // Six lanes: jobs 0-5, then 6-11, then 12 alone.
        QCOMPARE(f.rest->inFlight, 6);
        f.clock->advance(100ms);
        QCOMPARE(f.rest->writes.size(), 6);
        f.clock->advance(100ms);
        QCOMPARE(f.rest->writes.size(), 12);
        QCOMPARE(f.rest->inFlight, 1);
        QCOMPARE(rest.size(), 0);
        f.clock->advance(100ms);
        QCOMPARE(f.rest->writes.size(), 13);
        QCOMPARE(f.rest->maxInFlight, 6);
        for (const FakeRestClient::Write &write : f.rest->writes)
            QCOMPARE(write.value, on(true));
        QCOMPARE(rest.size(), 1);
        QCOMPARE(hits.size(), 1);
        QCOMPARE(f.store->rest().lightsOnTotal, 13 + 4); // four lights elsewhere were on already
        QVERIFY(f.store->recent().contains(u"room:keuken"_s));

        // Lights already in the wanted state cost no request.
        f.rest->writes.clear();
        f.store->allOff(u"keuken"_s);
        f.clock->advance(300ms);
        QCOMPARE(f.rest->writes.size(), 13);
        f.store->allOff(u"keuken"_s);
        f.clock->advance(300ms);
        QCOMPARE(f.rest->writes.size(), 13);
    }

    void runsEveryKindOfRow_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("started"); // flow or mood
        QTest::addColumn<QString>("strip");   // the device whose control strip opened
        QTest::newRow("lamp level") << u"leeslamp 40"_s
                                    << QStringList{u"lees onoff true"_s, u"lees dim 0.4"_s} << QString()
                                    << QString();
        QTest::newRow("lamp dim verb") << u"leeslamp dim"_s << QStringList() << QString() << u"lees"_s;
        QTest::newRow("room off") << u"woonkamer uit"_s
                                  << QStringList{u"plafond onoff false"_s, u"staande onoff false"_s}
                                  << QString() << QString();
        QTest::newRow("room level toggles")
            << u"kantoor 40"_s << QStringList{u"bureau onoff false"_s} << QString() << QString();
        QTest::newRow("bare device toggles")
            << u"televisie"_s << QStringList{u"tv onoff true"_s} << QString() << QString();
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

    void defaultActionOfDevicesWithoutSwitch()
    {
        DutchHome::Home home = DutchHome::home();
        Device bel = DutchHome::device(u"bel"_s, u"Bel"_s, u"hal"_s, u"doorbell"_s,
                                       {DutchHome::flag(u"button"_s, true, true)});
        bel.uiQuickAction = u"button"_s;
        DutchHome::put(home.devices, bel);
        DutchHome::put(
            home.devices,
            DutchHome::device(u"scherm"_s, u"Scherm"_s, u"hal"_s, u"blinds"_s,
                              {DutchHome::capability(u"windowcoverings_set"_s, Capability::Kind::number, true,
                                                     CapabilityValue::fromNumber(1))}));
        StoreFixture f(home);
        awaitTask(f.store->run(Hit{u"device:bel"_s, Hit::Target::device(u"bel"_s)}));
        QCOMPARE(f.writes(), QStringList{u"bel button false"_s});
        awaitTask(f.store->run(Hit{u"device:scherm"_s, Hit::Target::device(u"scherm"_s)}));
        QCOMPARE(f.store->detailDeviceID(), u"scherm"_s);
        QCOMPARE(f.writes().size(), 1);
    }

    void failedFlowShowsUntilNextSuccess()
    {
        StoreFixture f;
        const HomeyError error = HomeyError::http(404, u"/api/manager/flow/flow/weg/trigger"_s);
        f.rest->fail(u"startFlow"_s, error);
        awaitTask(f.store->run(Hit{u"flow:weg"_s, Hit::Target::flow(u"weg"_s, false)}));
        QCOMPARE(f.store->lastError(), error);
        awaitTask(f.store->run(Hit{u"mood:film"_s, Hit::Target::mood(u"film"_s)}));
        QVERIFY(!f.store->lastError());
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreWrites)
#include "tst_homestorewrites.moc"
