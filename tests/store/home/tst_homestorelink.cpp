// The store against the fake hub over HTTP and its realtime socket, on the real clock: the link is
// dropped, frozen or restarted a hundred times while the hub's devices change, and the store comes back
// live every time with the hub's values.
#include "awaittask.h"
#include "base/async/sleep.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "homey/realtime/homeysocket.h"
#include "homey/rest/homeyclient.h"
#include "store/home/homestore.h"

#include <functional>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr int lampCount = 8;

QString lampID(int i)
{
    return u"lamp%1"_s.arg(i % lampCount);
}

// Eight dimmable lamps over two rooms, as the hub serves them.
QJsonObject lampHome()
{
    QJsonObject devices;
    for (int i = 0; i < lampCount; ++i) {
        const QJsonObject capabilities{
            {u"onoff"_s, QJsonObject{{u"type"_s, u"boolean"_s}, {u"value"_s, false}, {u"setable"_s, true}}},
            {u"dim"_s, QJsonObject{{u"type"_s, u"number"_s}, {u"value"_s, 0.5}, {u"setable"_s, true}}}};
        devices.insert(lampID(i), QJsonObject{{u"id"_s, lampID(i)},
                                              {u"name"_s, u"Lamp %1"_s.arg(i)},
                                              {u"zone"_s, i % 2 ? u"keuken"_s : u"woonkamer"_s},
                                              {u"class"_s, u"light"_s},
                                              {u"capabilities"_s, QJsonArray{u"onoff"_s, u"dim"_s}},
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

// Every capability value of the store's devices as the hub has it.
bool agree(const FakeHub &hub, const HomeStore &store)
{
    if (store.devices().size() != lampCount)
        return false;
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

// Runs the event loop until done holds. Unlike QTest::qWaitFor it never sleeps between rounds, so a
// reconnection of a few round trips is not stretched by the waiting itself.
bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 5s)
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

class TestHomeStoreLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hundredLostLinks()
    {
        FakeHub hub;
        hub.setHome(lampHome());
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

        awaitTask(store.start());
        QCOMPARE(store.connection(), ConnectionState::live());
        QVERIFY(agree(hub, store));

        QElapsedTimer elapsed;
        elapsed.start();
        int writes = 0;
        for (int cycle = 0; cycle < 100; ++cycle) {
            states.clear();
            // A change on the hub while the link is up comes over the socket.
            QVERIFY(hub.setCapabilityValue(lampID(cycle), u"dim"_s, (cycle % 10) / 10.0));
            awaitTask(
                store.setCapability(lampID(cycle + 1), u"onoff"_s, CapabilityValue::fromBool(cycle % 2)));
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
            QVERIFY(hub.setCapabilityValue(lampID(cycle + 2), u"onoff"_s, cycle % 3 == 0));
            awaitTask(
                store.setCapability(lampID(cycle + 3), u"dim"_s, CapabilityValue::fromNumber(cycle / 100.0)));
            ++writes;
            if (cycle % 3 == 2) {
                waitUntil([] { return false; }, 20ms);
                realtime->setAcceptingLinks(true);
            }
            QVERIFY2(
                waitUntil([&] { return store.connection() == ConnectionState::live() && agree(hub, store); }),
                qPrintable(u"cycle %1: not back live with the hub's values"_s.arg(cycle)));
            QVERIFY(states.contains(ConnectionState::Kind::degraded));
        }
        qInfo("100 lost links in %lld ms", elapsed.elapsed());

        // Settled: live, no failure, every value the hub's, and every write sent exactly once.
        QTest::qWait(100);
        QCOMPARE(store.connection(), ConnectionState::live());
        QVERIFY(!store.lastError());
        QVERIFY(agree(hub, store));
        const auto puts = std::count_if(hub.requests().cbegin(), hub.requests().cend(),
                                        [](const FakeRequest &request) { return request.method == "PUT"; });
        QCOMPARE(puts, writes);

        awaitTask(store.stop());
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreLink)
#include "tst_homestorelink.moc"
