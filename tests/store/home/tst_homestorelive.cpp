#include "homefixture.h"
#include "homestoreprobe.h"
#include "logcapture.h"
#include "store/overview/restbuilder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

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

// The store on the virtual clock: starting, loading, reconnecting and stopping, and the hub's realtime
// changes applied to it (the echo of our own writes, the sampled debug line, the energy totals with their
// throttle and poll, the P2000 pager and the timeline).
class TestHomeStoreLive : public QObject {
    Q_OBJECT

    QList<ConnectionState> m_states;

    void record(HomeStore &store)
    {
        m_states.clear();
        QObject::connect(&store, &HomeStore::connectionChanged, this,
                         [this, &store] { m_states.append(store.connection()); });
    }

private Q_SLOTS:
    void startLoadsInParallelThenGoesLive_data()
    {
        QTest::addColumn<bool>("energyFails");
        QTest::addColumn<QString>("energy");
        QTest::newRow("report") << false << u"1250 W verbruik, 400 W opwek, -850 W netto"_s;
        QTest::newRow("no report") << true << u"0 W verbruik, 0 W opwek, 0 W netto"_s;
    }
    void startLoadsInParallelThenGoesLive()
    {
        QFETCH(bool, energyFails);
        QFETCH(QString, energy);
        HomeFixture f(true, DutchHome::metered());
        for (const QString &read :
             {u"zones"_s, u"devices"_s, u"flows"_s, u"moods"_s, u"favorites"_s, u"system"_s})
            f.rest->delay(read, 100ms);
        f.rest->script(u"energy"_s,
                       {50ms, energyFails ? std::optional(HomeyError::offline()) : std::nullopt});
        f.rest->home.energy = {1250.9, 400.5, -850.4};
        record(*f.store);
        LogCapture log;

        f.store->start();
        QCOMPARE(f.rest->inFlight, 6);
        QCOMPARE(f.calls(u"energy"_s), 0);
        f.clock->advance(100ms);
        QCOMPARE(f.calls(u"energy"_s), 1);
        QCOMPARE(f.rest->maxInFlight, 6);
        QVERIFY(f.realtime->connects.isEmpty());
        f.clock->advance(50ms);

        QCOMPARE(m_states,
                 (QList{ConnectionState::connecting(), ConnectionState::loading(u"Apparaten ophalen..."_s),
                        ConnectionState::live()}));
        QCOMPARE(f.realtime->connects.size(), 1);
        QCOMPARE(f.realtime->connects[0].size(), 20);
        QCOMPARE(log.matching(u"snapshot: "_s),
                 QStringList(
                     u"snapshot: 20 apparaten (16 bedienbaar), 12 zones, 6 flows, 4 moods, 33 doorzoekbaar. "
                     u"Rusttoestand: 7 kamertegels (+0), 5 scenes, 1 modi, 4 lampen aan. Energie: "_s +
                     energy + u", live via 2 meter(s) op de socket (1 omvormer, 1 slimme meter)."_s));

        // Running already: a second start asks nothing.
        f.store->start();
        f.clock->advance(1s);
        QCOMPARE(f.calls(u"devices"_s), 1);
        QCOMPARE(f.realtime->connects.size(), 1);
    }

    void failedLoadReportsTheFirstFailureInOrder()
    {
        HomeFixture f;
        // Flows fail first in time, devices first in order: the devices failure is the one reported.
        f.rest->script(u"flows"_s, {10ms, HomeyError::http(500, u"/api/manager/flows/flow/"_s)});
        f.rest->script(u"devices"_s, {50ms, HomeyError::unauthorized()});
        f.store->start();
        f.clock->advance(50ms);
        QVERIFY(f.store->lastError());
        QCOMPARE(*f.store->lastError(), HomeyError::unauthorized());
        QCOMPARE(f.store->connection(),
                 ConnectionState::failed(HomeyError::unauthorized().errorDescription(),
                                         u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s));
        QVERIFY(f.store->zones().isEmpty());
        QVERIFY(f.store->devices().isEmpty());
        QVERIFY(f.realtime->connects.isEmpty());

        // A failed start may be started again.
        f.rest->heal(u"flows"_s);
        f.rest->heal(u"devices"_s);
        f.start(50ms);
        QCOMPARE(f.store->connection(), ConnectionState::live());
        QVERIFY(!f.store->lastError());

        // A failed reload leaves the home as it was.
        f.rest->fail(u"moods"_s, HomeyError::offline());
        f.rest->home.devices.clear();
        f.store->resync();
        f.clock->advance(50ms);
        QCOMPARE(*f.store->lastError(), HomeyError::offline());
        QCOMPARE(f.store->devices().size(), 18);
    }

    // A failed load shows the error's own text as the title and the hint that belongs to its kind.
    void failureShowsTheHintOfItsKind()
    {
        const QList<std::pair<HomeyError, QString>> cases{
            {HomeyError::unreachable(u"192.168.1.5"_s),
             u"Controleer of je Homey aanstaat en of je computer op hetzelfde netwerk zit als je Homey. "
             u"Staat er een firewall aan, kijk dan of die de verbinding met je Homey niet blokkeert."_s},
            {HomeyError::http(502, u"/api/manager/zones/zone/"_s),
             u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s},
            {HomeyError::decoding(u"zones"_s),
             u"Dit is waarschijnlijk een nieuwe Homey-firmware. Meld het even."_s},
            {HomeyError::socket(u"weg"_s), u"Klik op Opnieuw proberen om opnieuw verbinding te maken."_s},
            {HomeyError::notConfigured(),
             u"Maak een API-sleutel aan in de Homey-webapp onder Instellingen, API-sleutels."_s},
            {HomeyError::offline(),
             u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s},
            {HomeyError::unauthorized(), u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s}};
        for (const auto &[error, hint] : cases) {
            HomeFixture f;
            f.rest->fail(u"zones"_s, error);
            f.start();
            QCOMPARE(f.store->connection(), ConnectionState::failed(error.errorDescription(), hint));
            QCOMPARE(f.store->lastError(), error);
        }
    }

    void degradedTexts()
    {
        HomeFixture without(false);
        without.start();
        QCOMPARE(without.store->connection(),
                 ConnectionState::degraded(
                     u"Geen live-verbinding. De gegevens zijn van het laatste ophaalmoment."_s));

        // The socket's own loss and return: the first connected event is the start's own and reloads
        // nothing; one after a loss reloads once and clears the failure.
        HomeFixture f;
        f.start();
        f.push(HomeyEvent::Disconnected{u"ping verlopen"_s});
        QCOMPARE(f.store->connection(),
                 ConnectionState::degraded(u"De live-verbinding viel weg: ping verlopen"_s));
        f.rest->fail(u"system"_s, HomeyError::offline());
        f.store->resync();
        QVERIFY(f.store->lastError());
        f.rest->heal(u"system"_s);
        f.push(HomeyEvent::Connected{});
        QCOMPARE(f.store->connection(), ConnectionState::live());
        QVERIFY(!f.store->lastError());
        QCOMPARE(f.calls(u"devices"_s), 3);

        f.realtime->connectFailure = HomeyError::offline();
        f.realtime->end();
        ManualClock::settle();
        QCOMPARE(
            f.store->connection(),
            ConnectionState::degraded(u"De live-verbinding viel weg. We proberen opnieuw te verbinden."_s));
    }

    void reconnectsWithBackOffAndResets()
    {
        HomeFixture f;
        f.start();
        f.realtime->connectFailure = HomeyError::unreachable(u"hub"_s);
        f.realtime->end();
        const ConnectionState away =
            ConnectionState::degraded(u"De live-verbinding viel weg. We proberen opnieuw te verbinden."_s);
        int attempts = 1;
        int previous = 0;
        for (const int second : {1, 3, 7, 15, 31, 61, 91}) {
            f.clock->advance(std::chrono::seconds(second - previous) - 1ms);
            QCOMPARE(f.realtime->connects.size(), attempts);
            f.clock->advance(1ms);
            QCOMPARE(f.realtime->connects.size(), ++attempts);
            QCOMPARE(f.store->connection(), away);
            previous = second;
        }
        QCOMPARE(f.calls(u"devices"_s), attempts); // each attempt reloads first
        f.realtime->connectFailure.reset();
        f.clock->advance(30s);
        QCOMPARE(f.store->connection(), ConnectionState::live());
        QVERIFY(!f.store->lastError());

        // After a success the wait starts at one second again.
        f.realtime->end();
        f.clock->advance(999ms);
        QCOMPARE(f.realtime->connects.size(), attempts + 1);
        f.clock->advance(1ms);
        QCOMPARE(f.realtime->connects.size(), attempts + 2);
    }

    void resyncWhileStoppingEndsIdle()
    {
        HomeFixture f;
        f.start();
        f.realtime->disconnectLatency = 1s;
        f.rest->delay(u"devices"_s, 500ms);
        record(*f.store);
        f.store->stop();
        f.store->resync();
        f.clock->advance(2s);
        QVERIFY(!m_states.contains(ConnectionState::live()));
        QCOMPARE(f.store->connection(), ConnectionState::idle());
    }

    void resyncKeepsALiveStoreLive()
    {
        HomeFixture f;
        f.start();
        f.store->panelDidAppear();
        f.rest->delay(u"devices"_s, 1s);
        record(*f.store);
        f.store->resync();
        f.store->resync(); // dropped: one is running
        f.clock->advance(1s);
        QCOMPARE(f.calls(u"devices"_s), 2);
        QCOMPARE(m_states,
                 (QList{ConnectionState::loading(u"Apparaten ophalen..."_s), ConnectionState::live()}));

        // The energy poll goes on asking the hub.
        f.clock->advance(44s);
        QCOMPARE(f.calls(u"energy"_s), 3);

        // The link dropping during a resync stands after it.
        f.store->resync();
        f.push(HomeyEvent::Disconnected{u"weg"_s});
        f.clock->advance(1s);
        QCOMPARE(f.store->connection(), ConnectionState::degraded(u"De live-verbinding viel weg: weg"_s));
    }

    // Ctrl+R on a store that is not running starts it, up to live; a stopped store only stays idle.
    void resyncStartsAStoreThatIsNotRunning_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("withRealtime");
        QTest::addColumn<QString>("after");
        QTest::newRow("never started") << u"never started"_s << true << u"live"_s;
        QTest::newRow("first load failed") << u"load failed"_s << true << u"live"_s;
        QTest::newRow("first connect failed") << u"connect failed"_s << true << u"live"_s;
        QTest::newRow("reload failed while live") << u"reload failed"_s << true << u"live"_s;
        QTest::newRow("load failed, no realtime") << u"load failed"_s << false << u"degraded"_s;
        QTest::newRow("stopped") << u"stopped"_s << true << u"idle"_s;
    }
    void resyncStartsAStoreThatIsNotRunning()
    {
        QFETCH(QString, before);
        QFETCH(bool, withRealtime);
        QFETCH(QString, after);
        HomeFixture f(withRealtime);
        if (before == u"load failed")
            f.rest->fail(u"devices"_s, HomeyError::offline());
        if (before == u"connect failed")
            f.realtime->connectFailure = HomeyError::unreachable(u"hub"_s);
        if (before != u"never started")
            f.start();
        if (before == u"reload failed") {
            f.rest->fail(u"devices"_s, HomeyError::offline());
            f.store->resync();
            f.clock->advance(0ms);
        }
        if (before == u"stopped")
            f.store->stop();
        const bool failed = before != u"never started" && before != u"stopped";
        QCOMPARE(f.store->connection().kind() == ConnectionState::Kind::failed, failed);

        // The hub is back.
        f.rest->heal(u"devices"_s);
        if (f.realtime)
            f.realtime->connectFailure.reset();
        f.store->resync();
        f.clock->advance(0ms);
        const QHash<QString, ConnectionState> ends{
            {u"live"_s, ConnectionState::live()},
            {u"degraded"_s, ConnectionState::degraded(
                                u"Geen live-verbinding. De gegevens zijn van het laatste ophaalmoment."_s)},
            {u"idle"_s, ConnectionState::idle()}};
        QCOMPARE(f.store->connection(), ends.value(after));
        QVERIFY(!f.store->lastError());
        QCOMPARE(f.store->devices().size(), 18);
        // The link carries the hub's changes again; a stopped store has none.
        if (withRealtime) {
            f.change(u"lees"_s, u"onoff"_s, on(true));
            QCOMPARE(f.value(u"lees"_s, u"onoff"_s), std::optional(on(after == u"live")));
        }
    }

    // Started or resynced while its own reconnection goes on after a failed reload, the store keeps one
    // link: no second one that the loop's connect then drops.
    void oneLinkWhileReconnecting_data()
    {
        QTest::addColumn<bool>("restart"); // start(), else resync()
        QTest::newRow("start") << true;
        QTest::newRow("resync") << false;
    }
    void oneLinkWhileReconnecting()
    {
        QFETCH(bool, restart);
        HomeFixture f;
        f.start();
        f.realtime->connectLatency = 1s;
        f.rest->fail(u"devices"_s, HomeyError::offline());
        f.realtime->end();
        f.clock->advance(1s); // the reload fails; the loop's connect is on its way
        QCOMPARE(f.store->connection().kind(), ConnectionState::Kind::failed);

        f.rest->heal(u"devices"_s);
        f.realtime->connectLatency = 100ms;
        if (restart)
            f.store->start();
        else
            f.store->resync();
        f.clock->advance(3s);
        QCOMPARE(f.store->connection(), ConnectionState::live());
        QVERIFY(!f.store->lastError());
        QCOMPARE(f.realtime->disconnects, 0);
        f.change(u"lees"_s, u"onoff"_s, on(true));
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), std::optional(on(true)));
    }

    // A resync and the reconnection's reload never run side by side: whichever comes second does
    // without, and the reconnection connects all the same.
    void oneReloadAtATime_data()
    {
        QTest::addColumn<bool>("resyncFirst");
        QTest::newRow("link lost during a resync") << true;
        QTest::newRow("resync during the reconnection's reload") << false;
    }
    void oneReloadAtATime()
    {
        QFETCH(bool, resyncFirst);
        HomeFixture f;
        f.start();
        f.rest->delay(u"devices"_s, 3s);
        if (resyncFirst)
            f.store->resync();
        f.realtime->end();
        f.clock->advance(1s);
        if (!resyncFirst)
            f.store->resync();
        QCOMPARE(f.calls(u"devices"_s), 2);
        QCOMPARE(f.realtime->connects.size(), resyncFirst ? 2 : 1);
        f.clock->advance(6s);
        QCOMPARE(f.realtime->connects.size(), 2);
        QCOMPARE(f.store->connection(), ConnectionState::live());
    }

    // Whatever the store was waiting for when it was stopped or went, nothing of it runs on afterwards.
    void endsMidFlight_data()
    {
        QTest::addColumn<QString>("slow");  // a read or "connect" that takes a second
        QTest::addColumn<bool>("loseLink"); // after a start, so that the reconnection runs
        QTest::addColumn<int>("atMs");
        QTest::addColumn<QString>("besides"); // "energy poll" or "batch"
        QTest::addColumn<bool>("destroy");
        for (const bool destroy : {false, true}) {
            const auto row = [destroy](const char *moment, const QString &slow, bool loseLink, int atMs,
                                       const QString &besides = {}) {
                QTest::addRow("%s, %s", moment, destroy ? "destroyed" : "stopped")
                    << slow << loseLink << atMs << besides << destroy;
            };
            row("first load", u"devices"_s, false, 500);
            row("first connect", u"connect"_s, false, 500);
            row("reconnect wait", {}, true, 500);
            row("reconnect load", u"devices"_s, true, 1500);
            row("reconnect connect", u"connect"_s, true, 1500);
            row("energy poll", {}, false, 0, u"energy poll"_s);
            row("batch", {}, false, 0, u"batch"_s);
        }
    }
    void endsMidFlight()
    {
        QFETCH(QString, slow);
        QFETCH(bool, loseLink);
        QFETCH(int, atMs);
        QFETCH(QString, besides);
        QFETCH(bool, destroy);
        HomeFixture f;
        if (loseLink || !besides.isEmpty())
            f.start();
        if (slow == u"connect")
            f.realtime->connectLatency = 1s;
        else if (!slow.isEmpty())
            f.rest->delay(slow, 1s);
        if (loseLink)
            f.realtime->end();
        else if (besides.isEmpty())
            f.store->start();
        if (besides == u"energy poll")
            f.store->panelDidAppear();
        if (besides == u"batch")
            f.store->holdBatch(1000);
        f.clock->advance(std::chrono::milliseconds(atMs));
        const qsizetype attempts = f.realtime->connects.size();
        const qsizetype requests = f.rest->calls.size();
        record(*f.store);

        if (destroy)
            f.store.reset();
        else
            f.store->stop();
        f.clock->advance(10min);
        QCOMPARE(f.realtime->connects.size(), attempts);
        QCOMPARE(f.rest->calls.size(), requests);
        if (destroy)
            return;
        QCOMPARE(f.store->connection(), ConnectionState::idle());
        QCOMPARE(m_states, QList{ConnectionState::idle()});
        QVERIFY(!f.realtime->stream); // a link that came up after the stop was closed again
        QVERIFY(!f.store->lastError());
    }

    // Reconnections and writes leave no holder of the link behind, and a stopped or destroyed store lets
    // go of it at once: nothing may wait for an event loop that does not turn again as the program ends.
    void linkIsLetGoAtOnce_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("stopped") << false;
        QTest::newRow("destroyed") << true;
    }
    void linkIsLetGoAtOnce()
    {
        QFETCH(bool, destroy);
        HomeFixture f(true, DutchHome::writable());
        f.start();
        QCOMPARE(f.store->connection(), ConnectionState::live());
        const long holders = f.realtime.use_count();
        for (int i = 0; i < 20; ++i) {
            awaitTask(f.store->setCapability(u"z1"_s, u"onoff"_s, on(i % 2 == 0)));
            f.realtime->end();
            f.clock->advance(1s);
            QCOMPARE(f.store->connection(), ConnectionState::live());
            QCOMPARE(f.realtime.use_count(), holders);
        }
        QCOMPARE(f.realtime->connects.size(), 21);
        QCOMPARE(f.writes().size(), 20);

        // No event loop turns from here on.
        if (destroy) {
            f.store.reset();
            QCOMPARE(f.realtime.use_count(), 1);
        } else {
            f.store->stop();
            QCOMPARE(f.store->connection(), ConnectionState::idle());
            QCOMPARE(f.realtime.use_count(), holders - 1);
        }
    }

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
        // One switched in the open room shows there at once, in its figures and its row.
        const int roomLightsOn = f.store->room()->lightsOn;
        f.change(u"lees"_s, u"onoff"_s, on(true));
        QCOMPARE(f.store->room()->lightsOn, roomLightsOn + 1);
        const auto lees = std::find_if(f.store->roomHits().begin(), f.store->roomHits().end(),
                                       [](const Hit &hit) { return hit.id == u"device:lees"; });
        QCOMPARE(lees->accessory, Hit::Accessory::dimmer(0.8));
        QCOMPARE(announced.take(), (Announcements::Counts{{u"devices"_s, 1},
                                                          {u"rest"_s, 1},
                                                          {u"room"_s, 1},
                                                          {u"roomHits"_s, 1},
                                                          {u"eventCount"_s, 1}}));

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

        // A device renamed on the hub is found by its new name only.
        Device lamp = f.store->devices().value(u"tuinlamp"_s);
        lamp.name = u"Vijverlicht"_s;
        f.push(HomeyEvent::DeviceUpdated{lamp});
        f.store->setQuery(u"vijverlicht"_s);
        QCOMPARE(f.store->hits().value(0).id, u"device:tuinlamp"_s);
        f.store->setQuery(u"tuinverlichting"_s);
        QVERIFY(std::none_of(f.store->hits().begin(), f.store->hits().end(),
                             [](const Hit &hit) { return hit.id == u"device:tuinlamp"; }));
    }

    // The search follows the hub's zones: a room renamed is found by its new name alone, and the rows
    // that name it name it anew; a room that comes to hold another one is no room of its own any more.
    void searchFollowsTheZones_data()
    {
        QTest::addColumn<Zone>("zone");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("first"); // its id and subtitle; empty: not looked at
        QTest::addColumn<QString>("absent");
        Zone renamed = DutchHome::zone(u"woonkamer"_s, u"Zitkamer"_s, u"bg"_s, u"living"_s);
        const Zone inside = DutchHome::zone(u"serre"_s, u"Serre"_s, u"woonkamer"_s);
        QTest::newRow("new name") << renamed << u"zitkamer"_s << u"room:woonkamer"_s << QString();
        QTest::newRow("old name") << renamed << u"woonkamer"_s << QString() << u"room:woonkamer"_s;
        QTest::newRow("device row") << renamed << u"plafondlamp"_s << u"device:plafond Zitkamer, 40%"_s
                                    << QString();
        QTest::newRow("mood row") << renamed << u"film avond"_s << u"mood:film Sfeer, Zitkamer"_s
                                  << QString();
        QTest::newRow("room inside") << inside << u"woonkamer"_s << QString() << u"room:woonkamer"_s;
        // Moved under another room on the hub, its name unchanged: that room now holds one.
        const Zone moved = DutchHome::zone(u"keuken"_s, u"Keuken"_s, u"woonkamer"_s, u"kitchen"_s);
        QTest::newRow("room moved inside") << moved << u"woonkamer"_s << QString() << u"room:woonkamer"_s;
        QTest::newRow("moved room") << moved << u"keuken"_s << u"room:keuken"_s << QString();
    }
    void searchFollowsTheZones()
    {
        QFETCH(Zone, zone);
        QFETCH(QString, query);
        QFETCH(QString, first);
        QFETCH(QString, absent);
        HomeFixture f;
        f.start();
        f.push(HomeyEvent::ZoneUpdated{zone});
        f.store->setQuery(query);
        const QList<Hit> &hits = f.store->hits();
        if (!first.isEmpty()) {
            QVERIFY(!hits.isEmpty());
            const QString line = hits.first().id + u' ' + hits.first().subtitle.value_or(QString());
            QCOMPARE(line.first(std::min(line.size(), first.size())), first);
        }
        QVERIFY(std::none_of(hits.begin(), hits.end(), [&](const Hit &hit) { return hit.id == absent; }));
    }

    // The overview follows one device at a time from the devices the store knows per room: a device that
    // comes, moves or goes must count in its room at the next change there.
    void overviewFollowsDevicesThatComeMoveAndGo()
    {
        HomeFixture f;
        f.start();
        f.store->panelDidAppear();
        const auto tilesAsBuilt = [&] {
            const RestState built = RestBuilder::build(f.store->devices(), f.store->zones(), f.store->flows(),
                                                       f.store->moods(), {});
            const RestState &rest = f.store->rest();
            return rest.rooms == built.rooms && rest.moreRooms == built.moreRooms &&
                   rest.lightsOnTotal == built.lightsOnTotal && rest.headline == built.headline;
        };
        const auto moved = [&](const QString &id, const QString &zoneID) {
            Device device = f.store->devices().value(id);
            device.zoneID = zoneID;
            return device;
        };

        // Sensors count in their room's temperature, not in the figures that order the tiles.
        f.change(u"bureau"_s, u"onoff"_s, on(true));
        f.push(
            HomeyEvent::DeviceUpdated{DutchHome::device(u"nieuw"_s, u"Nieuw"_s, u"kantoor"_s, u"sensor"_s,
                                                        {DutchHome::number(u"measure_temperature"_s, 30)})});
        f.change(u"bureau"_s, u"onoff"_s, on(false));
        QVERIFY(tilesAsBuilt());
        f.push(HomeyEvent::DeviceUpdated{moved(u"thermo"_s, u"keuken"_s)});
        f.change(u"keukenlamp"_s, u"onoff"_s, on(true));
        QVERIFY(tilesAsBuilt());
        f.push(HomeyEvent::DeviceDeleted{u"nieuw"_s});
        f.change(u"bureau"_s, u"onoff"_s, on(true));
        QVERIFY(tilesAsBuilt());
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

        // A meter's record sent anew is summed at once, outside the throttle.
        Device inverter = f.store->devices().value(u"omvormer"_s);
        inverter.capabilities[u"measure_power"_s].value = CapabilityValue::fromNumber(50);
        f.push(HomeyEvent::DeviceUpdated{inverter});
        QCOMPARE(f.store->energy(), (EnergyState{47, 50, -3}));

        // A record right after another meter's throttled change sums both; the next record alone reads
        // only its own meter again, from where the sums were.
        f.change(u"meter"_s, u"measure_power"_s, CapabilityValue::fromNumber(-13));
        inverter.capabilities[u"measure_power"_s].value = CapabilityValue::fromNumber(60);
        f.push(HomeyEvent::DeviceUpdated{inverter});
        QCOMPARE(f.store->energy(), (EnergyState{47, 60, -13}));
        Device meter = f.store->devices().value(u"meter"_s);
        meter.capabilities[u"measure_power"_s].value = CapabilityValue::fromNumber(-23);
        f.push(HomeyEvent::DeviceUpdated{meter});
        QCOMPARE(f.store->energy(), (EnergyState{37, 60, -23}));
        // An inverter whose record reports what it makes as negative power still makes it.
        inverter.capabilities[u"measure_power"_s].value = CapabilityValue::fromNumber(-70);
        f.push(HomeyEvent::DeviceUpdated{inverter});
        QCOMPARE(f.store->energy(), (EnergyState{47, 70, -23}));
    }

    // Without a grid meter the consumption stays the hub's and nothing counts as drawn from the grid;
    // without an inverter nothing counts as made.
    void energyFromTheMetersThereAre_data()
    {
        QTest::addColumn<QStringList>("meters");
        QTest::addColumn<double>("inverterW");
        QTest::addColumn<EnergyState>("energy");
        const QStringList both{u"omvormer"_s, u"meter"_s};
        QTest::newRow("inverter only") << QStringList{u"omvormer"_s} << 10.6 << EnergyState{500, 11, 0};
        QTest::newRow("meter only") << QStringList{u"meter"_s} << 10.6 << EnergyState{-3, 0, -3};
        QTest::newRow("neither") << QStringList{} << 10.6 << EnergyState{500, 0, 500};
        // An inverter that reports what it makes as negative power still makes it.
        QTest::newRow("negative inverter") << both << -10.6 << EnergyState{7, 11, -3};
        QTest::newRow("negative inverter only")
            << QStringList{u"omvormer"_s} << -10.6 << EnergyState{500, 11, 0};
    }
    void energyFromTheMetersThereAre()
    {
        QFETCH(QStringList, meters);
        QFETCH(double, inverterW);
        DutchHome::Home home = DutchHome::metered();
        home.devices[u"omvormer"_s].capabilities[u"measure_power"_s].value =
            CapabilityValue::fromNumber(inverterW);
        for (const QString &id : {u"omvormer"_s, u"meter"_s}) {
            if (!meters.contains(id))
                home.devices.remove(id);
        }
        HomeFixture f(true, home);
        f.rest->home.energy = {500, 0, 500};
        f.start();
        f.store->panelDidAppear();
        QTEST(f.store->energy(), "energy");
    }

    // A power change exactly half a second after the last recomputation is recomputed at once.
    void energyThrottleOpensAtHalfASecond_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("499 ms") << 499 << false;
        QTest::newRow("500 ms") << 500 << true;
    }
    void energyThrottleOpensAtHalfASecond()
    {
        QFETCH(int, gapMs);
        QFETCH(bool, atOnce);
        HomeFixture f(true, DutchHome::metered());
        f.start();
        f.store->panelDidAppear();
        f.change(u"omvormer"_s, u"measure_power"_s, CapabilityValue::fromNumber(20));
        QCOMPARE(f.store->energy().generationW, 20);
        f.clock->advance(std::chrono::milliseconds(gapMs));
        f.change(u"omvormer"_s, u"measure_power"_s, CapabilityValue::fromNumber(30));
        QCOMPARE(f.store->energy().generationW, atOnce ? 30 : 20);
        f.clock->advance(1ms);
        QCOMPARE(f.store->energy().generationW, 30);
    }

    // Each capability the overview shows rebuilds it when the hub changes it.
    void overviewFollowsWhatItShows_data()
    {
        QTest::addColumn<QString>("deviceID");
        QTest::addColumn<QString>("capabilityID");
        QTest::addColumn<CapabilityValue>("value");
        QTest::newRow("on/off") << u"tuinlamp"_s << u"onoff"_s << on(true);
        QTest::newRow("dim level") << u"plafond"_s << u"dim"_s << CapabilityValue::fromNumber(0.8);
        QTest::newRow("temperature") << u"thermo"_s << u"measure_temperature"_s
                                     << CapabilityValue::fromNumber(25);
    }
    void overviewFollowsWhatItShows()
    {
        QFETCH(QString, deviceID);
        QFETCH(QString, capabilityID);
        QFETCH(CapabilityValue, value);
        HomeFixture f;
        f.start();
        f.store->panelDidAppear();
        const RestState before = f.store->rest();
        QSignalSpy rebuilt(f.store.get(), &HomeStore::restChanged);
        f.change(deviceID, capabilityID, value);
        QCOMPARE(rebuilt.size(), 1);
        QVERIFY(f.store->rest() != before);
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
        // The realtime link may gather longer exactly while the panel is hidden (and after a stop).
        QCOMPARE(f.realtime->backgrounds, (QList{true, false, false, true, false, true}));
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

        // A start that fails before the timeline leaves the baseline to the next load.
        f.rest->fail(u"zones"_s, HomeyError::offline());
        f.start();
        f.rest->heal(u"zones"_s);
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

QTEST_GUILESS_MAIN(TestHomeStoreLive)
#include "tst_homestorelive.moc"
