// The hub's realtime changes applied to the store: the echo of our own writes, the sampled debug line,
// the energy totals with their throttle and poll, the P2000 pager and the timeline.
#include "homefixture.h"
#include "homestoreprobe.h"
#include "logcapture.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

CapabilityValue on(bool value)
{
    return CapabilityValue::fromBool(value);
}

Capability text(const QString &id, const QString &value)
{
    return DutchHome::capability(id, Capability::Kind::string, false, CapabilityValue::fromString(value));
}

// The Dutch home with a P2000 pager in the hall whose region the feed follows.
struct PagerFixture : HomeFixture {
    PagerFixture() : HomeFixture(true, pagerHome())
    {
        NotificationSettings settings;
        settings.p2000Regions = {u"Hollands Midden"_s};
        store->notifications()->apply(settings);
    }
    static DutchHome::Home pagerHome()
    {
        DutchHome::Home home = DutchHome::home();
        DutchHome::put(
            home.devices,
            DutchHome::device(u"pager"_s, u"P2000"_s, u"hal"_s, u"other"_s,
                              {text(u"p2000"_s, u"A1 Dorpsstraat Leiden"_s), text(u"prio"_s, u"1"_s),
                               text(u"dienst"_s, u"Ambulance"_s), text(u"regio"_s, u"Hollands Midden"_s)}));
        return home;
    }
};

} // namespace

class TestHomeStoreRealtime : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void echoOfOwnWrites_data()
    {
        QTest::addColumn<CapabilityValue>("pending");
        QTest::addColumn<CapabilityValue>("echo");
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<bool>("stillPending");
        // The lamp is off; what the user chose waits for the hub's word.
        QTest::newRow("same value in time") << on(false) << on(false) << 1000 << false << false;
        QTest::newRow("other value in time") << on(false) << on(true) << 1000 << false << true;
        QTest::newRow("other kind in time")
            << on(false) << CapabilityValue::fromString(u"false"_s) << 1000 << false << true;
        QTest::newRow("at the deadline") << on(false) << on(true) << 2000 << true << false;
        QTest::newRow("other value late") << on(false) << on(true) << 3000 << true << false;
    }
    void echoOfOwnWrites()
    {
        QFETCH(CapabilityValue, pending);
        QFETCH(CapabilityValue, echo);
        QFETCH(int, afterMs);
        QFETCH(bool, applied);
        HomeFixture f;
        f.start();
        const std::optional<CapabilityValue> shown = f.value(u"lees"_s, u"onoff"_s);
        HomeStoreProbe::addPending(*f.store, u"lees"_s, u"onoff"_s, pending, f.clock->now() + 2s);
        f.clock->advance(std::chrono::milliseconds(afterMs));
        f.change(u"lees"_s, u"onoff"_s, echo);
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), applied ? std::optional(echo) : shown);
        QCOMPARE(f.store->eventCount(), applied ? 1 : 0);
        QTEST(HomeStoreProbe::isPending(*f.store, u"lees"_s, u"onoff"_s), "stillPending");
    }

    void sampledDebugLines_data()
    {
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<QString>("line");
        QTest::newRow("true") << on(true) << u"socket-event #1: Leeslamp onoff = aan"_s;
        QTest::newRow("whole") << CapabilityValue::fromNumber(21)
                               << u"socket-event #1: Leeslamp onoff = 21"_s;
        QTest::newRow("fraction") << CapabilityValue::fromNumber(21.5)
                                  << u"socket-event #1: Leeslamp onoff = 21.50"_s;
        QTest::newRow("none") << CapabilityValue::none() << u"socket-event #1: Leeslamp onoff = -"_s;
    }
    void sampledDebugLines()
    {
        QFETCH(CapabilityValue, value);
        QFETCH(QString, line);
        HomeFixture f;
        f.start();
        LogCapture log;
        // Unknown devices and capabilities change nothing and count for nothing.
        f.change(u"nergens"_s, u"onoff"_s, on(true));
        f.change(u"lees"_s, u"dim.zone2"_s, on(true));
        f.change(u"lees"_s, u"onoff"_s, value);
        for (int i = 2; i <= 100; ++i)
            f.change(u"lees"_s, u"onoff"_s, on(i % 2 == 0));
        QCOMPARE(f.store->eventCount(), 100);
        QCOMPARE(log.matching(u"socket-event #"_s),
                 (QStringList{line, u"socket-event #50: Leeslamp onoff = aan"_s,
                              u"socket-event #100: Leeslamp onoff = aan"_s}));
    }

    void devicesZonesAndFlowsFollowTheHub()
    {
        HomeFixture f;
        f.start();
        f.store->panelDidAppear();
        f.store->enterScope(u"woonkamer"_s);
        f.store->setDetailDeviceID(u"tv"_s);

        // A light switched in another room counts in the overview, and leaves the open room alone.
        Announcements announced(f.store.get());
        const int lightsOn = f.store->rest().lightsOnTotal;
        f.change(u"tuinlamp"_s, u"onoff"_s, on(true));
        QCOMPARE(f.store->rest().lightsOnTotal, lightsOn + 1);
        QCOMPARE(announced.take(),
                 (Announcements::Counts{{u"devices"_s, 1}, {u"rest"_s, 1}, {u"eventCount"_s, 1}}));

        // The open room renamed on the hub; the device whose strip is open deleted.
        Zone renamed = f.store->zones().value(u"woonkamer"_s);
        renamed.name = u"Zitkamer"_s;
        f.push(HomeyEvent::ZoneUpdated{renamed});
        QCOMPARE(f.store->room()->name, u"Zitkamer"_s);
        f.push(HomeyEvent::DeviceDeleted{u"tv"_s});
        QVERIFY(!f.store->detailDeviceID());
        QVERIFY(!f.store->devices().contains(u"tv"_s));
        QVERIFY(std::none_of(f.store->roomHits().begin(), f.store->roomHits().end(),
                             [](const Hit &hit) { return hit.title == u"Televisie"; }));

        // A new flow on the hub can be found once the flows are read again.
        f.rest->home.flows.append(DutchHome::flow(u"nacht"_s, u"Nachtstand"_s));
        f.push(HomeyEvent::FlowsChanged{});
        QVERIFY(f.store->flows().contains(u"nacht"_s));
        f.store->exitScope();
        f.store->setQuery(u"nachtstand"_s);
        QCOMPARE(f.store->hits().value(0).title, u"Nachtstand"_s);
    }

    void energyTotalsFromTheMeters()
    {
        HomeFixture f(true, DutchHome::metered(), {.logsEnergy = true});
        f.rest->home.energy = {500, 0, 500};
        f.start();
        QCOMPARE(f.store->energy(), (EnergyState{500, 0, 500}));
        LogCapture log;

        // Hidden, a power change is left for the panel to pick up.
        f.change(u"meter"_s, u"measure_power"_s, CapabilityValue::fromNumber(-3.4));
        QCOMPARE(f.store->energy(), (EnergyState{500, 0, 500}));
        f.store->panelDidAppear();
        // The consumption is the rounded sum, not the sum of rounded parts.
        QCOMPARE(f.store->energy(), (EnergyState{7, 11, -3}));
        QCOMPARE(log.matching(u"energie:"_s),
                 QStringList(u"energie: 7 W verbruik = 11 W opwek + -3 W netto"_s));

        // Throttled: one recomputation at once, the next half a second after it, none in between.
        f.clock->advance(1s);
        f.change(u"omvormer"_s, u"measure_power"_s, CapabilityValue::fromNumber(20));
        QCOMPARE(f.store->energy().generationW, 20);
        f.clock->advance(100ms);
        f.change(u"omvormer"_s, u"measure_power"_s, CapabilityValue::fromNumber(30));
        f.clock->advance(200ms);
        f.change(u"omvormer"_s, u"measure_power"_s, CapabilityValue::fromNumber(40));
        f.clock->advance(199ms);
        QCOMPARE(f.store->energy().generationW, 20);
        f.clock->advance(1ms);
        QCOMPARE(f.store->energy(), (EnergyState{37, 40, -3}));
        QCOMPARE(log.matching(u"energie:"_s).size(), 3);
    }

    void energyPollWhileShownAndLive()
    {
        HomeFixture f;
        f.rest->home.energy = {100, 0, 100};
        f.start();
        f.store->panelDidAppear();
        f.store->panelDidAppear(); // one poll only
        f.rest->home.energy = {200, 0, 200};
        f.clock->advance(45s);
        QCOMPARE(f.calls(u"energy"_s), 2);
        QCOMPARE(f.store->energy(), (EnergyState{200, 0, 200}));

        // Not live: the poll asks nothing.
        f.push(HomeyEvent::Disconnected{u"weg"_s});
        f.clock->advance(45s);
        QCOMPARE(f.calls(u"energy"_s), 2);
        f.push(HomeyEvent::Connected{}); // reloads once
        f.clock->advance(45s);
        QCOMPARE(f.calls(u"energy"_s), 4);

        // Hidden or stopped: no request after that, even when the hide lands in the middle of a wait.
        f.clock->advance(44s);
        f.store->panelDidDisappear();
        f.clock->advance(10min);
        QCOMPARE(f.calls(u"energy"_s), 4);
        f.store->panelDidAppear();
        f.store->stop();
        f.clock->advance(10min);
        QCOMPARE(f.calls(u"energy"_s), 4);
    }

    void pagerBurstGivesOneIncident()
    {
        PagerFixture f;
        LogCapture log;
        f.start();
        QCOMPARE(log.matching(u"meldingen: P2000-apparaat gevonden"_s),
                 QStringList(u"meldingen: P2000-apparaat gevonden: \"P2000\" (pager). Let op: dit is een "
                             u"LANDELIJKE stroom, ~4-6 meldingen per minuut. De filter in de instellingen "
                             u"bepaalt wat je ziet."_s));
        // The incident on the pager at the first load counts as seen.
        QCOMPARE(f.store->notifications()->items().size(), 0);

        QSignalSpy added(f.store->notifications(), &NotificationFeed::itemsChanged);
        f.change(u"pager"_s, u"p2000"_s, CapabilityValue::fromString(u"A1 Brand Leiden"_s));
        f.clock->advance(150ms);
        f.change(u"pager"_s, u"prio"_s, CapabilityValue::fromString(u"1"_s));
        f.clock->advance(150ms);
        f.change(u"pager"_s, u"p2000"_s, CapabilityValue::fromString(u"A1 Brand Leiden 3"_s));
        f.clock->advance(499ms);
        QCOMPARE(added.size(), 0);
        f.clock->advance(1ms);
        QCOMPARE(added.size(), 1);
        QCOMPARE(f.store->notifications()->items().value(0).detail.value_or(QString()),
                 u"A1 Brand Leiden 3"_s);

        // The same pager seen again after a device update is not announced a second time.
        f.push(HomeyEvent::DeviceUpdated{f.store->devices().value(u"pager"_s)});
        QCOMPARE(log.matching(u"P2000-apparaat gevonden"_s).size(), 1);
    }

    void timelineBaselineOnce()
    {
        PagerFixture f;
        const QDateTime now = f.clock->wallNow();
        f.store->notifications()->setClock([clock = f.clock] { return clock->wallNow(); });
        f.rest->home.timeline = {
            {u"t1"_s, u"homey:manager:flow"_s, u"Flow"_s, u"Wasmachine klaar"_s, now.addSecs(-60)}};
        f.rest->fail(u"notifications"_s, HomeyError::offline());
        LogCapture log;

        // The first load cannot read the timeline: said once, and the feed is armed all the same.
        f.start();
        QCOMPARE(log.matching(u"!! meldingen:"_s),
                 QStringList(u"!! meldingen: de tijdlijn kon niet opgehaald worden ("_s +
                             HomeyError::offline().errorDescription() +
                             u"). P2000 werkt wel (die loopt over de socket); aanwezigheid en weer niet."_s));
        QCOMPARE(f.store->notifications()->unread(), 0);

        // Later loads hand the timeline over as news.
        f.rest->heal(u"notifications"_s);
        f.store->resync();
        f.clock->advance(0ms);
        QCOMPARE(f.store->notifications()->unread(), 1);
        QCOMPARE(log.matching(u"!! meldingen:"_s).size(), 1);

        // The incident shown at the start was seeded as seen; a new one is news.
        f.change(u"pager"_s, u"dienst"_s, CapabilityValue::fromString(u"Ambulance"_s));
        f.clock->advance(500ms);
        QCOMPARE(f.store->notifications()->unread(), 1);
        f.change(u"pager"_s, u"p2000"_s, CapabilityValue::fromString(u"A2 Hoofdstraat Leiden"_s));
        f.clock->advance(500ms);
        QCOMPARE(f.store->notifications()->unread(), 2);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreRealtime)
#include "tst_homestorerealtime.moc"
