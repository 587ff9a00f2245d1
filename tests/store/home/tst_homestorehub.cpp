// The store against the fake hub over HTTP and its realtime socket, on the real clock.
#include "awaittask.h"
#include "base/async/sleep.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "homey/realtime/homeysocket.h"
#include "homey/rest/homeyclient.h"
#include "store/home/homestore.h"

#include <functional>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Dark lamps "lamp0".."lamp<count - 1>" as the hub serves them, in the zones zoneOf names; the ones
// dimmable names have a level too.
QJsonObject lampHome(int count, const std::function<QString(int)> &zoneOf,
                     const std::function<bool(int)> &dimmable)
{
    QJsonObject devices;
    for (int i = 0; i < count; ++i) {
        QJsonObject capabilities{
            {u"onoff"_s, QJsonObject{{u"type"_s, u"boolean"_s}, {u"value"_s, false}, {u"setable"_s, true}}}};
        if (dimmable(i))
            capabilities.insert(
                u"dim"_s, QJsonObject{{u"type"_s, u"number"_s}, {u"value"_s, 0.5}, {u"setable"_s, true}});
        const QString id = u"lamp%1"_s.arg(i);
        devices.insert(id, QJsonObject{{u"id"_s, id},
                                       {u"name"_s, u"Lamp %1"_s.arg(i)},
                                       {u"zone"_s, zoneOf(i)},
                                       {u"class"_s, u"light"_s},
                                       {u"capabilities"_s, QJsonArray::fromStringList(capabilities.keys())},
                                       {u"capabilitiesObj"_s, capabilities}});
    }
    const auto zone = [](const QString &id, const QString &name) {
        return QJsonObject{{u"id"_s, id}, {u"name"_s, name}, {u"parent"_s, u"huis"_s}};
    };
    return QJsonObject{
        {u"token"_s, u"tok"_s},
        {u"me"_s, QJsonObject{{u"id"_s, u"u"_s}}},
        {u"system"_s, QJsonObject{{u"totalmem"_s, 1000}, {u"freemem"_s, 500}}},
        {u"zones"_s, QJsonObject{{u"huis"_s, QJsonObject{{u"id"_s, u"huis"_s}, {u"name"_s, u"Huis"_s}}},
                                 {u"woonkamer"_s, zone(u"woonkamer"_s, u"Woonkamer"_s)},
                                 {u"keuken"_s, zone(u"keuken"_s, u"Keuken"_s)}}},
        {u"devices"_s, devices}};
}

// Every capability value of the store's devices as the hub has it.
bool agree(const FakeHub &hub, const HomeStore &store)
{
    for (const Device &device : store.devices()) {
        const QJsonObject served = hub.device(device.id).value(u"capabilitiesObj"_s).toObject();
        for (const auto &[id, capability] : device.capabilities) {
            QJsonValue hubValue = served.value(id).toObject().value(u"value"_s);
            if (hubValue.isUndefined())
                hubValue = QJsonValue::Null;
            if (hubValue != capability.value.value_or(CapabilityValue::none()).toJson())
                return false;
        }
    }
    return true;
}

// The socket's time-outs and pauses shrunk twentyfold, so a lost link is back within a blink.
RealtimeTiming quickTiming()
{
    RealtimeTiming timing = RealtimeTiming::standard();
    timing.handshakeTimeout = 500ms;
    timing.healthInterval = 50ms;
    timing.healthTimeout = 50ms;
    timing.subscribeWindow = 100ms;
    timing.sleep = [](std::chrono::milliseconds duration, CancelToken token) {
        return sleepFor(duration / 20, std::move(token));
    };
    return timing;
}

// Runs the event loop until done holds. Unlike QTest::qWaitFor it never sleeps between rounds, so a
// reconnection of a few round trips is not stretched by the waiting itself.
bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 30s)
{
    const QDeadlineTimer deadline(limit);
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace

class TestHomeStoreHub : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A socket stopped at the end of a test wakes its health check through the event queue; without
    // this turn the check would still wait, half done, when the program ends.
    void cleanup()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void roomOnAndOffTenTimes()
    {
        FakeHub hub;
        QVERIFY(hub.listen());
        hub.setHome(lampHome(
            13, [](int) { return u"keuken"_s; }, [](int i) { return i % 3 == 0; }));
        auto rest = std::make_shared<HomeyClient>(HomeyEndpoint{hub.baseURL(), u"hub"_s, std::nullopt},
                                                  u"tok"_s, nullptr);
        HomeStore store(rest, nullptr, nullptr, SettingsStore(u"homestorehub"_s));
        awaitTask(store.start());
        QCOMPARE(store.devices().size(), 13);
        hub.clearRequests();

        Hit kitchen{u"room:keuken"_s, Hit::Target::room(u"keuken"_s)};
        for (int round = 0; round < 10; ++round) {
            awaitTask(store.run(kitchen)); // a bare room toggles
            QCOMPARE(store.rest().lightsOnTotal, 13);
            QVERIFY(agree(hub, store));
            awaitTask(store.allOff(u"keuken"_s));
            QCOMPARE(store.rest().lightsOnTotal, 0);
            QVERIFY(agree(hub, store));
        }
        awaitTask(store.setAllDim(u"keuken"_s, 0.4));
        QVERIFY(agree(hub, store));
        QVERIFY(!store.lastError());

        // Each light: ten times on and off, once more on, and the dimmable ones their level.
        QHash<QString, int> puts;
        for (const FakeRequest &request : hub.requests()) {
            QCOMPARE(request.method, "PUT");
            puts[QString::fromLatin1(request.route()).section(u'/', 3, 3)] += 1;
        }
        for (int i = 0; i < 13; ++i)
            QCOMPARE(puts.value(u"lamp%1"_s.arg(i)), i % 3 == 0 ? 22 : 21);
    }

    // Steps from the keyboard add up to binary noise (0.8 + 0.05 is 0.8500000000000001): the hub gets the
    // level on the capability's grid, for the room dimmer's lamps and for one lamp.
    void levelsReachTheHubOnTheirGrid()
    {
        FakeHub hub;
        QVERIFY(hub.listen());
        QJsonObject home = lampHome(
            3, [](int) { return u"keuken"_s; }, [](int) { return true; });
        QJsonObject devices = home.value(u"devices"_s).toObject();
        for (const QString &id : devices.keys()) {
            QJsonObject device = devices.value(id).toObject();
            QJsonObject capabilities = device.value(u"capabilitiesObj"_s).toObject();
            QJsonObject onoff = capabilities.value(u"onoff"_s).toObject();
            QJsonObject dim = capabilities.value(u"dim"_s).toObject();
            onoff.insert(u"value"_s, true);
            dim.insert(u"value"_s, 0.8);
            if (id == u"lamp2")
                dim.insert(u"step"_s, 0.05);
            capabilities.insert(u"onoff"_s, onoff);
            capabilities.insert(u"dim"_s, dim);
            device.insert(u"capabilitiesObj"_s, capabilities);
            devices.insert(id, device);
        }
        home.insert(u"devices"_s, devices);
        hub.setHome(home);
        auto rest = std::make_shared<HomeyClient>(HomeyEndpoint{hub.baseURL(), u"hub"_s, std::nullopt},
                                                  u"tok"_s, nullptr);
        HomeStore store(rest, nullptr, nullptr, SettingsStore(u"homestorehub"_s));
        awaitTask(store.start());
        hub.clearRequests();
        // "lamp0 0.85": each lamp and the value as its body spells it.
        const auto bodies = [&hub] {
            static const QRegularExpression value(u"\"value\":([^,}]*)"_s);
            QStringList sent;
            for (const FakeRequest &request : hub.requests())
                sent << QString::fromLatin1(request.route()).section(u'/', 3, 3) + u' ' +
                            value.match(QString::fromUtf8(request.body)).captured(1);
            sent.sort();
            return sent;
        };

        store.enterScope(u"keuken"_s);
        store.nudgeRoomDim(0.05);
        QVERIFY(waitUntil([&] { return hub.requests().size() == 3; }));
        QCOMPARE(bodies(), (QStringList{u"lamp0 0.85"_s, u"lamp1 0.85"_s, u"lamp2 0.85"_s}));
        hub.clearRequests();
        store.nudgeDim(u"lamp0"_s, -0.05);
        store.nudgeDim(u"lamp2"_s, 0.07); // a twentieth's grid
        QVERIFY(waitUntil([&] { return hub.requests().size() == 2; }));
        QCOMPARE(bodies(), (QStringList{u"lamp0 0.8"_s, u"lamp2 0.9"_s}));
        QVERIFY(agree(hub, store));
    }

    // The hub fails the first load, then recovers: a resync starts the store and its link goes live.
    void resyncAfterAFailedStartGoesLive()
    {
        FakeHub hub;
        hub.setHome(lampHome(
            2, [](int) { return u"keuken"_s; }, [](int) { return false; }));
        QVERIFY(hub.listen());
        new FakeRealtime(&hub);
        const HomeyEndpoint endpoint{hub.baseURL(), u"hub"_s, std::nullopt};
        auto socket = std::make_shared<HomeySocket>(endpoint, u"tok"_s, quickTiming());
        auto rest = std::make_shared<HomeyClient>(endpoint, u"tok"_s, socket);
        HomeStore store(rest, socket, nullptr, SettingsStore(u"homestorehub"_s));
        hub.failPath(u"manager/devices/device/"_s, 500);
        awaitTask(store.start());
        QCOMPARE(store.connection().kind(), ConnectionState::Kind::failed);

        hub.clearFaults();
        awaitTask(store.resync());
        QVERIFY(waitUntil([&] { return store.connection() == ConnectionState::live(); }));
        QVERIFY(!store.lastError());
        QCOMPARE(store.devices().size(), 2);
        // The hub's changes come over the link.
        QVERIFY(hub.setCapabilityValue(u"lamp1"_s, u"onoff"_s, true));
        QVERIFY(waitUntil([&] { return agree(hub, store); }));
        awaitTask(store.stop());
    }

    // The link is dropped, frozen or restarted a hundred times while the hub's devices change, and the
    // store comes back live every time with the hub's values.
    void hundredLostLinks()
    {
        constexpr int lamps = 8;
        const auto lamp = [](int i) { return u"lamp%1"_s.arg(i % lamps); };
        FakeHub hub;
        hub.setHome(lampHome(
            lamps, [](int i) { return i % 2 ? u"keuken"_s : u"woonkamer"_s; }, [](int) { return true; }));
        QVERIFY(hub.listen());
        auto *realtime = new FakeRealtime(&hub);
        const HomeyEndpoint endpoint{hub.baseURL(), u"hub"_s, std::nullopt};
        auto socket = std::make_shared<HomeySocket>(endpoint, u"tok"_s, quickTiming());
        auto rest = std::make_shared<HomeyClient>(endpoint, u"tok"_s, socket);
        HomeStore store(rest, socket, nullptr, SettingsStore(u"homestorelink"_s));
        store.panelDidAppear();
        QList<ConnectionState::Kind> states;
        connect(&store, &HomeStore::connectionChanged, this,
                [&] { states.append(store.connection().kind()); });
        const auto synced = [&] { return store.devices().size() == lamps && agree(hub, store); };

        awaitTask(store.start());
        QCOMPARE(store.connection(), ConnectionState::live());
        QVERIFY(synced());
        // Nothing of a lost link or a write keeps the socket: its holders stay the same every cycle.
        const long holders = socket.use_count();

        int writes = 0;
        for (int cycle = 0; cycle < 100; ++cycle) {
            states.clear();
            // A change on the hub while the link is up comes over the socket.
            QVERIFY(hub.setCapabilityValue(lamp(cycle), u"dim"_s, (cycle % 10) / 10.0));
            awaitTask(store.setCapability(lamp(cycle + 1), u"onoff"_s, CapabilityValue::fromBool(cycle % 2)));
            ++writes;
            switch (cycle % 3) {
            case 0:
                realtime->closeLinks();
                break;
            case 1:
                realtime->freezeLinks();
                break;
            case 2:
                // The hub's realtime side goes away: links cut, new ones refused until it is back.
                realtime->setAcceptingLinks(false);
                realtime->closeLinks();
                break;
            }
            QVERIFY2(waitUntil([&] { return store.connection() != ConnectionState::live(); }),
                     qPrintable(u"cycle %1: the loss went unnoticed"_s.arg(cycle)));
            // Changes made while the link is away reach the store through the reload after it.
            QVERIFY(hub.setCapabilityValue(lamp(cycle + 2), u"onoff"_s, cycle % 3 == 0));
            awaitTask(
                store.setCapability(lamp(cycle + 3), u"dim"_s, CapabilityValue::fromNumber(cycle / 100.0)));
            ++writes;
            if (cycle % 3 == 2) {
                waitUntil([] { return false; }, 20ms);
                realtime->setAcceptingLinks(true);
            }
            QVERIFY2(waitUntil([&] { return store.connection() == ConnectionState::live() && synced(); }),
                     qPrintable(u"cycle %1: not back live with the hub's values"_s.arg(cycle)));
            QVERIFY(states.contains(ConnectionState::Kind::degraded));
            QCOMPARE(socket.use_count(), holders);
        }

        // Settled: live, no failure, every value the hub's, and every write sent exactly once.
        QTest::qWait(100);
        QCOMPARE(store.connection(), ConnectionState::live());
        QVERIFY(!store.lastError());
        QVERIFY(synced());
        const auto puts = std::count_if(hub.requests().cbegin(), hub.requests().cend(),
                                        [](const FakeRequest &request) { return request.method == "PUT"; });
        QCOMPARE(puts, writes);

        awaitTask(store.stop());
        // The event pump let go of the socket within the stop, not at some later turn of the loop.
        QCOMPARE(socket.use_count(), holders - 1);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreHub)
#include "tst_homestorehub.moc"
