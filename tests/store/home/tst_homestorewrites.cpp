// The store's writes: shown at once and rolled back on failure, run rows, levels, nudges and the room
// dimmer.
#include "homefixture.h"
#include "logcapture.h"

#include <cmath>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const HomeyError refused = HomeyError::http(500, u"/api/manager/devices/device/lees/capability/onoff"_s);

} // namespace

class TestHomeStoreWrites : public QObject {
    Q_OBJECT

    static std::optional<CapabilityValue> pending(const HomeStore &store, const QString &key)
    {
        const std::optional<PendingWrites::Record> found = store.pendingWrites().record(key);
        return found ? std::optional(found->value) : std::nullopt;
    }

private Q_SLOTS:
    void showsAtOnceAndRollsBackOnFailure()
    {
        WriteFixture f;
        LogCapture logged;
        f.rest->script(u"setCapability"_s, {100ms, refused});
        f.store->setCapability(u"lees"_s, u"onoff"_s, on(true));
        f.store->toggle(u"raar"_s); // no value yet
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(true));
        QCOMPARE(pending(*f.store, u"lees|onoff"_s), on(true));
        QCOMPARE(f.store->pendingWrites().record(u"lees|onoff"_s)->deadline, f.clock->now() + 2s);

        f.clock->advance(100ms);
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(false));
        QCOMPARE(f.value(u"raar"_s, u"onoff"_s), CapabilityValue::none());
        QVERIFY(!pending(*f.store, u"lees|onoff"_s));
        QCOMPARE(f.store->lastError(), refused);
        QCOMPARE(f.calls(u"setCapability"_s), 2); // never retried
        // The refusal stays in the log, with what was asked of which device.
        const QString why = u": "_s + refused.errorDescription();
        QCOMPARE(logged.matching(u"!! "_s),
                 (QStringList{u"!! schrijven mislukt: Leeslamp (lees) onoff = aan"_s + why,
                              u"!! schrijven mislukt: Raar (raar) onoff = aan"_s + why}));

        // The next good write clears the error; its record waits for the echo.
        f.rest->script(u"setCapability"_s, {});
        awaitTask(f.store->setCapability(u"duo"_s, u"onoff.output2"_s, on(false)));
        QCOMPARE(f.writes(), QStringList{u"duo onoff.output2 false"_s}); // exactly the capability asked for
        QCOMPARE(f.value(u"duo"_s, u"onoff"_s), on(true));
        QVERIFY(!f.store->lastError());
        QCOMPARE(pending(*f.store, u"duo|onoff.output2"_s), on(false));
    }

    void failedStartIsLogged()
    {
        WriteFixture f;
        LogCapture logged;
        f.rest->script(u"startFlow"_s, {0ms, refused});
        f.rest->script(u"setMood"_s, {0ms, refused});
        for (const QString &query : {u"homey herstart"_s, u"diner"_s}) {
            f.store->setQuery(query);
            awaitTask(f.store->run(f.store->hits().first()));
            QCOMPARE(f.store->lastError(), refused);
        }
        const QString why = u": "_s + refused.errorDescription();
        QCOMPARE(logged.matching(u"!! "_s),
                 (QStringList{u"!! starten mislukt: flow Homey herstart (herstart)"_s + why,
                              u"!! starten mislukt: mood Diner (diner)"_s + why}));
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
        WriteFixture f;
        Announcements announced(f.store.get());
        awaitTask(f.store->setCapability(device, capability, CapabilityValue::fromNumber(3)));
        QVERIFY(!f.rest->calls.contains(u"setCapability"_s));
        QCOMPARE(announced.take(), Announcements::Counts{});
        QVERIFY(f.store->pendingWrites().isEmpty());
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
        WriteFixture f;
        const CapabilityValue later = CapabilityValue::fromNumber(0.9);
        f.rest->script(u"setCapability"_s, {200ms, refused});
        f.store->setCapability(u"lees"_s, u"dim"_s, CapabilityValue::fromNumber(0.1));
        f.rest->script(u"setCapability"_s, {50ms, std::nullopt});
        f.store->setCapability(u"lees"_s, u"dim"_s, later);
        f.clock->advance(50ms);
        if (echoed)
            f.store->pendingWrites().erase(u"lees|dim"_s);
        f.clock->advance(150ms);
        QCOMPARE(f.value(u"lees"_s, u"dim"_s), later);
        QCOMPARE(pending(*f.store, u"lees|dim"_s), echoed ? std::nullopt : std::optional(later));
        QCOMPARE(f.store->lastError(), refused);
    }

    void roomOf13LightsGoesOutSixAtATime()
    {
        WriteFixture f;
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        f.store->setQuery(u"zolder aan"_s);
        const Hit attic = f.store->hits().value(0);
        QCOMPARE(attic.target, Hit::Target::room(u"zolder"_s));
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

    // Each lane runs its own jobs in turn, so one slow write holds up only its lane. In the open room the
    // batch redraws the room and the overview once, at its end.
    void slowWriteHoldsUpOnlyItsLane()
    {
        WriteFixture f;
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        f.rest->delayNext(u"setCapability"_s, 250ms);
        f.store->enterScope(u"zolder"_s);
        QSignalSpy room(f.store.get(), &HomeStore::roomChanged);
        QSignalSpy rest(f.store.get(), &HomeStore::restChanged);
        f.store->toggleSelection(); // the room's own row, all dark: every spot on
        f.clock->advance(200ms);
        QCOMPARE(f.rest->writes.size(), 10); // lanes 1 to 5 have run both their jobs
        QCOMPARE(f.rest->inFlight, 1);
        f.clock->advance(249ms);
        QCOMPARE(f.rest->writes.size(), 12);
        QCOMPARE(room.size() + rest.size(), 0);
        f.clock->advance(1ms);
        QCOMPARE(f.rest->writes.size(), 13);
        QCOMPARE(room.size(), 1);
        QCOMPARE(rest.size(), 1);
        QCOMPARE(f.store->room()->lightsOn, 13);
    }

    void runsEveryKindOfRow_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("started"); // flow or mood
        QTest::addColumn<QString>("strip");   // the device whose control strip opened
        const auto row = [](const char *name, const QString &query, const QStringList &writes,
                            const QString &started = {}, const QString &strip = {}) {
            QTest::newRow(name) << query << writes << started << strip;
        };
        row("lamp 40", u"leeslamp 40"_s, {u"lees onoff true"_s, u"lees dim 0.4"_s});
        row("lamp dim verb", u"leeslamp dim"_s, {}, {}, u"lees"_s);
        row("room off", u"woonkamer uit"_s, {u"plafond onoff false"_s, u"staande onoff false"_s});
        // A typed level sets the room's lamps to it: dark dimmable lamps are switched on first.
        row("room level", u"woonkamer 30"_s, {u"lees dim 0.3"_s, u"lees onoff true"_s, u"plafond dim 0.3"_s});
        row("room level 0", u"woonkamer 0"_s, {u"plafond onoff false"_s, u"staande onoff false"_s});
        // Only plain lamps and one is lit: the level changes nothing.
        row("room level, plain lamps", u"kantoor 40"_s, {});
        row("bare device", u"televisie"_s, {u"tv onoff true"_s});
        row("unknown state goes on", u"raar"_s, {u"raar onoff true"_s});
        row("on verb on a lit lamp", u"plafondlamp aan"_s, {u"plafond onoff true"_s});
        row("level on a plain lamp toggles", u"staande lamp 40"_s, {u"staande onoff false"_s});
        row("quick action", u"bel"_s, {u"bel button false"_s});
        row("number action", u"scherm"_s, {}, {}, u"scherm"_s);
        row("flow", u"homey herstart"_s, {}, u"herstart"_s);
        row("mood", u"diner"_s, {}, u"diner"_s);
        row("guarded device", u"voordeur uit"_s, {}, {}, u"voordeur"_s);
        // A guarded device with a plain switch: neither the switch verbs nor its own toggle write.
        row("guarded switch on", u"sirene aan"_s, {}, {}, u"sirene"_s);
        row("guarded switch off", u"sirene uit"_s, {}, {}, u"sirene"_s);
        row("guarded switch bare", u"sirene"_s, {}, {}, u"sirene"_s);
    }
    void runsEveryKindOfRow()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, writes);
        QFETCH(QString, started);
        WriteFixture f;
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
        QTEST(f.store->detailDeviceID().value_or(QString()), "strip");
        QVERIFY(f.store->recent().contains(hit.id));
    }

    // The toggle key on a device's row in its room switches it; a guarded device only opens its controls,
    // and one without a switch is left alone. What the store says it will do is what it does.
    void toggleKeyInTheRoom_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("strip");
        QTest::newRow("plain switch") << u"raar"_s << QStringList{u"raar onoff true"_s} << QString();
        QTest::newRow("guarded switch") << u"sirene"_s << QStringList() << u"sirene"_s;
        QTest::newRow("a lock, no switch") << u"voordeur"_s << QStringList() << QString();
        QTest::newRow("blinds, no switch") << u"scherm"_s << QStringList() << QString();
    }
    void toggleKeyInTheRoom()
    {
        QFETCH(QString, device);
        WriteFixture f;
        f.store->enterScope(u"hal"_s);
        const QList<Hit> rows = f.store->roomHits();
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const Hit &hit) { return hit.deviceID() == device; });
        QVERIFY(row != rows.end());
        f.store->setSelection(f.store->roomRowOffset() + int(row - rows.begin()));
        const bool promisesNothing = f.store->toggleAction(*row).kind == RunAction::Kind::Nothing;
        awaitTask(f.store->toggleSelection());
        QTEST(f.writes(), "writes");
        QTEST(f.store->detailDeviceID().value_or(QString()), "strip");
        QCOMPARE(promisesNothing, f.writes().isEmpty() && !f.store->detailDeviceID());
    }

    // Absolute levels and targets are clamped; an off lamp is switched on, a lit one off, before its level.
    void setsAbsoluteLevels_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<double>("level");
        QTest::addColumn<QStringList>("writes");
        const QStringList litToZero{u"plafond onoff false"_s, u"plafond dim 0"_s};
        QTest::newRow("off lamp up") << u"lees"_s << 0.3
                                     << QStringList{u"lees onoff true"_s, u"lees dim 0.3"_s};
        QTest::newRow("lit lamp to 0") << u"plafond"_s << 0.0 << litToZero;
        QTest::newRow("unknown state") << u"raar"_s << 0.6 << QStringList{u"raar dim 0.6"_s};
        QTest::newRow("above 1") << u"plafond"_s << 1.7 << QStringList{u"plafond dim 1"_s};
        QTest::newRow("not a number") << u"plafond"_s << std::nan("") << litToZero;
        QTest::newRow("above max") << u"cv"_s << 35.0 << QStringList{u"cv target_temperature 30"_s};
        QTest::newRow("below min") << u"cv"_s << 2.0 << QStringList{u"cv target_temperature 5"_s};
    }
    void setsAbsoluteLevels()
    {
        QFETCH(QString, device);
        QFETCH(double, level);
        WriteFixture f;
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        if (device == u"cv")
            f.store->setTarget(device, level);
        else
            f.store->setDim(device, level);
        QCOMPARE(f.calls(u"setCapability"_s), 1); // a level waits for the switch's answer
        f.clock->advance(200ms);
        QTEST(f.writes(), "writes");
    }

    // Steps 50 ms apart show at once and go out as one level 0.12 s after the last one.
    void nudgesCoalesce_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QList<double>>("steps");
        QTest::addColumn<double>("shown");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("two up") << u"plafond"_s << QList<double>{0.1, 0.1} << 0.6
                                << QStringList{u"plafond dim 0.6"_s};
        QTest::newRow("off lamp up") << u"lees"_s << QList<double>{0.1} << 0.9
                                     << QStringList{u"lees onoff true"_s, u"lees dim 0.9"_s};
        QTest::newRow("down past 0") << u"nacht"_s << QList<double>{-0.2} << 0.0
                                     << QStringList{u"nacht onoff false"_s, u"nacht dim 0"_s};
        QTest::newRow("off lamp up and back")
            << u"lees"_s << QList<double>{0.1, -1.0} << 0.0 << QStringList{u"lees dim 0"_s};
    }
    void nudgesCoalesce()
    {
        QFETCH(QString, device);
        QFETCH(QList<double>, steps);
        QFETCH(double, shown);
        WriteFixture f;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            f.clock->advance(i > 0 ? 50ms : 0ms);
            f.store->nudgeDim(device, steps[i]);
        }
        QVERIFY(std::abs(*f.value(device, u"dim"_s)->numberValue() - shown) < 1e-9);
        f.clock->advance(119ms);
        QVERIFY(f.rest->writes.isEmpty());
        f.clock->advance(1ms);
        QTEST(f.writes(), "writes");
        QCOMPARE(f.value(device, u"onoff"_s), on(shown > 0));
    }

    // The hub never had the lamp on: a refused write puts back what the hub has, not the preview.
    void refusedNudgeRestoresTheHubsState()
    {
        WriteFixture f;
        f.rest->fail(u"setCapability"_s, HomeyError::offline());
        f.store->nudgeDim(u"lees"_s, 0.1);
        f.clock->advance(120ms);
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), on(false));
        QCOMPARE(f.value(u"lees"_s, u"dim"_s), CapabilityValue::fromNumber(0.8));
        QCOMPARE(f.store->lastError(), HomeyError::offline());
    }

    // The room dimmer decides its switching from the lights as they were before its own preview.
    void roomDimmerSwitchesFromTheHubsState_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<double>("level");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("lit room to 0")
            << u"woonkamer"_s << 0.0 << QStringList{u"plafond onoff false"_s, u"staande onoff false"_s};
        // A light is on: the plain ones are left alone.
        QTest::newRow("lit room up") << u"woonkamer"_s << 0.7
                                     << QStringList{u"lees dim 0.7"_s, u"lees onoff true"_s,
                                                    u"plafond dim 0.7"_s};
        QStringList dark;
        for (int i = 1; i <= 13; ++i) {
            if (i % 3 == 0)
                dark.append(u"z"_s + QString::number(i) + u" dim 0.6"_s);
            dark.append(u"z"_s + QString::number(i) + u" onoff true"_s);
        }
        dark.sort();
        QTest::newRow("dark room up") << u"zolder"_s << 0.6 << dark;
    }
    void roomDimmerSwitchesFromTheHubsState()
    {
        QFETCH(QString, zone);
        QFETCH(double, level);
        WriteFixture f;
        f.store->enterScope(zone);
        f.store->scrubRoomDim(0.3);
        f.clock->advance(100ms);
        f.store->scrubRoomDim(level);
        if (level > 0)
            QCOMPARE(f.value(zone == u"zolder" ? u"z3"_s : u"lees"_s, u"dim"_s),
                     CapabilityValue::fromNumber(level));
        f.clock->advance(139ms);
        QVERIFY(f.rest->writes.isEmpty());
        f.clock->advance(1ms);
        QStringList sent = f.writes();
        sent.sort();
        QTEST(sent, "writes");
    }

    // A room level still waiting goes out when the room is left or the panel hides.
    void waitingRoomLevelIsSentOnLeaving_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::newRow("leave room") << false;
        QTest::newRow("hide panel") << true;
    }
    void waitingRoomLevelIsSentOnLeaving()
    {
        QFETCH(bool, hide);
        WriteFixture f;
        f.store->enterScope(u"keuken"_s);
        f.store->scrubRoomDim(0.25);
        if (hide)
            f.store->panelDidDisappear();
        else
            f.store->exitScope();
        f.clock->advance(0ms);
        QCOMPARE(f.writes(), (QStringList{u"keukenlamp onoff true"_s, u"keukenlamp dim 0.25"_s}));
        f.clock->advance(1s);
        QCOMPARE(f.rest->writes.size(), 2);
    }

    // Stopping ends the store's run: a lamp step or a room level still waiting is never sent.
    void waitingStepsAreDroppedOnStop()
    {
        WriteFixture f;
        f.store->nudgeDim(u"plafond"_s, 0.1);
        f.store->enterScope(u"keuken"_s);
        f.store->scrubRoomDim(0.25);
        awaitTask(f.store->stop());
        f.clock->advance(1s);
        QCOMPARE(f.writes(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreWrites)
#include "tst_homestorewrites.moc"
