// Starting, loading, reconnecting and stopping the store, on the virtual clock.
#include "homefixture.h"
#include "logcapture.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

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

    void stopLeavesItIdle_data()
    {
        QTest::addColumn<QString>("slowOperation");
        QTest::addColumn<bool>("loseStream");
        QTest::addColumn<int>("stopAtMs");
        QTest::newRow("first load") << u"devices"_s << false << 500;
        QTest::newRow("first connect") << u"connect"_s << false << 500;
        QTest::newRow("reconnect wait") << QString() << true << 500;
        QTest::newRow("reconnect load") << u"devices"_s << true << 1500;
        QTest::newRow("reconnect connect") << u"connect"_s << true << 1500;
    }
    void stopLeavesItIdle()
    {
        QFETCH(QString, slowOperation);
        QFETCH(bool, loseStream);
        QFETCH(int, stopAtMs);
        HomeFixture f;
        if (loseStream)
            f.start();
        if (slowOperation == u"connect")
            f.realtime->connectLatency = 1s;
        else if (!slowOperation.isEmpty())
            f.rest->delay(slowOperation, 1s);
        if (loseStream)
            f.realtime->end();
        else
            f.store->start();
        f.clock->advance(std::chrono::milliseconds(stopAtMs));
        const qsizetype attempts = f.realtime->connects.size();
        record(*f.store);

        f.store->stop();
        f.clock->advance(10min);
        QCOMPARE(f.store->connection(), ConnectionState::idle());
        QCOMPARE(m_states, QList{ConnectionState::idle()});
        QCOMPARE(f.realtime->connects.size(), attempts);
        // A link that came up after the stop was closed again.
        QVERIFY(!f.realtime->stream);
        QVERIFY(!f.store->lastError());
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

    // Whatever the store was waiting for when it went, nothing of it runs on afterwards.
    void destroyedMidFlight_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::newRow("loading") << u"loading"_s;
        QTest::newRow("reconnect wait") << u"reconnect wait"_s;
        QTest::newRow("connecting again") << u"connecting again"_s;
        QTest::newRow("energy poll") << u"energy poll"_s;
        QTest::newRow("batch") << u"batch"_s;
    }
    void destroyedMidFlight()
    {
        QFETCH(QString, moment);
        HomeFixture f;
        if (moment == u"loading") {
            f.rest->delay(u"zones"_s, 1s);
            f.store->start();
        } else {
            f.start();
        }
        if (moment == u"reconnect wait" || moment == u"connecting again") {
            f.realtime->connectLatency = moment == u"connecting again" ? 1s : 0s;
            f.realtime->end();
            f.clock->advance(moment == u"connecting again" ? 1500ms : 500ms);
        }
        if (moment == u"energy poll")
            f.store->panelDidAppear();
        if (moment == u"batch")
            f.store->holdBatch(1000);
        const qsizetype attempts = f.realtime->connects.size();
        const qsizetype requests = f.rest->calls.size();

        f.store.reset();
        f.clock->advance(10min);
        QCOMPARE(f.realtime->connects.size(), attempts);
        QCOMPARE(f.rest->calls.size(), requests);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreLive)
#include "tst_homestorelive.moc"
