#include "base/async/sleep.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "homey/realtime/homeysocket.h"
#include "support/awaittask.h"

#include <QJsonObject>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

struct Sleeps {
    QList<milliseconds> requested;
    int divisor = 50;
};

// Test durations in the tens of milliseconds; back-off pauses are recorded as asked and slept shortened.
RealtimeTiming fastTiming(
    std::shared_ptr<Sleeps> sleeps, std::function<double()> random = [] { return 0.5; })
{
    RealtimeTiming timing = RealtimeTiming::standard();
    timing.handshakeTimeout = 300ms;
    timing.healthInterval = 40ms;
    timing.healthTimeout = 60ms;
    timing.subscribePoll = 5ms;
    timing.subscribeWindow = 150ms;
    timing.random = std::move(random);
    timing.sleep = [sleeps](milliseconds duration, CancelToken token) {
        sleeps->requested.append(duration);
        return sleepFor(std::max(1ms, duration / sleeps->divisor), std::move(token));
    };
    return timing;
}

QString describe(const HomeyEvent &event)
{
    if (const auto *c = event.as<HomeyEvent::Capability>())
        return u"capability %1 %2 %3 %4"_s.arg(
            c->deviceID, c->capabilityID,
            QString::fromUtf8(QJsonDocument(QJsonArray{c->value.toJson()}).toJson(QJsonDocument::Compact)),
            c->transactionID.value_or(u"-"_s));
    if (const auto *d = event.as<HomeyEvent::DeviceUpdated>())
        return u"device "_s + d->device.id;
    if (const auto *d = event.as<HomeyEvent::DeviceDeleted>())
        return u"deleted "_s + d->deviceID;
    if (const auto *z = event.as<HomeyEvent::ZoneUpdated>())
        return u"zone "_s + z->zone.id;
    if (const auto *n = event.as<HomeyEvent::NotificationCreated>())
        return u"notification "_s + n->notification.id;
    if (const auto *d = event.as<HomeyEvent::Disconnected>())
        return u"disconnected "_s + d->reason;
    if (event.as<HomeyEvent::FlowsChanged>())
        return u"flows"_s;
    return u"connected"_s;
}

// The next event in words, "end" when the stream ended.
QString next(const std::shared_ptr<HomeySocket::Channel> &channel, milliseconds timeout = 5s)
{
    std::optional<HomeyEvent> event = awaitTask(channel->next(), timeout);
    return event ? describe(*event) : u"end"_s;
}

QString failureOf(QCoro::Task<std::shared_ptr<HomeySocket::Channel>> task)
{
    try {
        awaitTask(std::move(task), 5s);
    } catch (const HomeyError &error) {
        return error.kind() == HomeyError::Kind::unauthorized ? u"unauthorized"_s : error.text();
    }
    return u"no failure"_s;
}

void spin(milliseconds duration)
{
    QTest::qWait(int(duration.count()));
}

} // namespace

class TestHomeySocket : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHub> m_hub;
    FakeRealtime *m_realtime = nullptr;
    std::shared_ptr<Sleeps> m_sleeps;
    std::unique_ptr<HomeySocket> m_socket;

    void makeSocket(
        std::function<double()> random = [] { return 0.5; }, RealtimeTiming::Clock clock = {})
    {
        RealtimeTiming timing = fastTiming(m_sleeps, std::move(random));
        if (clock)
            timing.now = std::move(clock);
        m_socket = std::make_unique<HomeySocket>(HomeyEndpoint{m_hub->baseURL(), u"homey-1"_s, {}}, u"tok"_s,
                                                 std::move(timing));
    }

    std::shared_ptr<HomeySocket::Channel> connectLive(QStringList ids = {u"a"_s})
    {
        auto channel = awaitTask(m_socket->connect(ids), 5s);
        if (next(channel) != u"connected")
            throw std::runtime_error("not connected");
        return channel;
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        m_hub->setHome(QJsonObject{{u"token"_s, u"tok"_s}});
        QVERIFY(m_hub->listen());
        m_realtime = new FakeRealtime(m_hub.get());
        m_sleeps = std::make_shared<Sleeps>();
        makeSocket();
    }

    void cleanup()
    {
        m_socket.reset();
        m_hub.reset();
        spin(5ms); // let deferred deletions run
    }

    void connectionFrames_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("subscriptions");
        QTest::newRow("two devices") << QStringList{u"a"_s, u"b"_s}
                                     << QStringList{u"homey:device:a"_s, u"homey:device:b"_s};
        QTest::newRow("no devices") << QStringList{} << QStringList{};
    }

    void connectionFrames()
    {
        QFETCH(QStringList, ids);
        QFETCH(QStringList, subscriptions);
        subscriptions << u"homey:manager:devices"_s << u"homey:manager:zones"_s << u"homey:manager:flow"_s
                      << u"homey:manager:notifications"_s;
        auto channel = connectLive(ids);
        QStringList expected{u"40"_s,
                             u"421[\"handshakeClient\",{\"homeyId\":\"homey-1\",\"token\":\"tok\"}]"_s,
                             u"40/realtime,"_s};
        for (int i = 0; i < subscriptions.size(); ++i)
            expected << u"42/realtime,%1[\"subscribe\",\"%2\"]"_s.arg(i + 2).arg(subscriptions[i]);
        QCOMPARE(m_realtime->inboundFrames(), expected);
        QCOMPARE(m_realtime->subscriptions(), subscriptions);
        QVERIFY(m_socket->isRunning());
    }

    void eventsAreMapped()
    {
        auto channel = connectLive({u"abc"_s});
        const QJsonObject device{{u"id"_s, u"d1"_s}, {u"name"_s, u"Lamp"_s}};
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true);
        m_realtime->pushCapability(u"abc"_s, u"dim"_s, QJsonValue::Null, u"t9"_s);
        m_realtime->pushEvent(u"homey:manager:devices"_s, u"device.create"_s, device);
        m_realtime->pushEvent(u"homey:manager:devices"_s, u"device.update"_s, device);
        m_realtime->pushEvent(u"homey:manager:devices"_s, u"device.delete"_s, u"d2"_s);
        m_realtime->pushEvent(u"homey:manager:devices"_s, u"device.delete"_s, QJsonObject{{u"id"_s, 7}});
        m_realtime->pushEvent(u"homey:manager:devices"_s, u"device.delete"_s);
        m_realtime->pushEvent(u"homey:manager:zones"_s, u"zone.create"_s,
                              QJsonObject{{u"id"_s, u"z1"_s}, {u"name"_s, u"Keuken"_s}});
        m_realtime->pushEvent(u"homey:manager:zones"_s, u"zone.delete"_s, QJsonObject{{u"id"_s, u"z1"_s}});
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flowfolder.update"_s);
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"advancedflow.deleted"_s);
        m_realtime->pushEvent(u"homey:manager:notifications"_s, u"notification.create"_s,
                              QJsonObject{{u"id"_s, u"n1"_s}, {u"excerpt"_s, u"Hallo"_s}});
        m_realtime->pushEvent(u"homey:manager:devices"_s, u"device.create"_s, QJsonObject{{u"id"_s, 5}});
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.updated"_s);
        const QStringList expected{u"capability abc onoff [true] -"_s,
                                   u"capability abc dim [null] t9"_s,
                                   u"device d1"_s,
                                   u"device d1"_s,
                                   u"deleted d2"_s,
                                   u"zone z1"_s,
                                   u"flows"_s,
                                   u"notification n1"_s,
                                   u"flows"_s};
        QStringList seen;
        for (qsizetype i = 0; i < expected.size(); ++i)
            seen << next(channel);
        QCOMPARE(seen, expected);
    }

    void pingIsAnsweredWithPong()
    {
        auto channel = connectLive();
        m_realtime->clearInboundFrames();
        m_realtime->pushRaw(u"2probe"_s);
        QTRY_COMPARE(m_realtime->inboundFrames(), QStringList{u"3"_s});
    }

    void lossesReconnect_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("engine close") << 0 << u"de Homey sloot de verbinding"_s;
        QTest::newRow("socket disconnect") << 1 << u"de Homey koppelde de verbinding los"_s;
        QTest::newRow("silent freeze") << 2 << u"je Homey antwoordt niet meer"_s;
        QTest::newRow("tcp close") << 3 << QString();
        QTest::newRow("namespaced disconnect") << 4 << u"de Homey koppelde de verbinding los"_s;
    }

    void lossesReconnect()
    {
        QFETCH(int, how);
        QFETCH(QString, reason);
        auto channel = connectLive();
        switch (how) {
        case 0:
            m_realtime->sendEngineClose();
            break;
        case 1:
            m_realtime->sendSocketDisconnect();
            break;
        case 2:
            m_realtime->freezeLinks();
            break;
        case 3:
            m_realtime->closeLinks();
            break;
        case 4:
            m_realtime->pushRaw(u"41/realtime,"_s);
            break;
        }
        const QString lost = next(channel);
        QVERIFY2(lost.startsWith(u"disconnected "_s), qPrintable(lost));
        if (!reason.isEmpty())
            QCOMPARE(lost, u"disconnected "_s + reason);
        QCOMPARE(next(channel), u"connected"_s);
        QCOMPARE(m_sleeps->requested, QList<milliseconds>{700ms});
        QCOMPARE(m_realtime->linksMade(), 2);
        QCOMPARE(m_realtime->openLinkCount(), 1);
        // The new link works.
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.x"_s);
        QCOMPARE(next(channel), u"flows"_s);
    }

    void backoffFollowsTheTable()
    {
        // Alternating draws of 0 and 1 show both ends of every pause.
        auto draws = std::make_shared<int>(0);
        makeSocket([draws] { return double((*draws)++ % 2); });
        auto channel = connectLive();
        m_realtime->stop();
        QCOMPARE(next(channel).left(13), u"disconnected "_s);
        QTRY_VERIFY_WITH_TIMEOUT(m_sleeps->requested.size() >= 8, 10000);
        m_realtime->start();
        QString event;
        do {
            event = next(channel);
        } while (event.startsWith(u"disconnected "_s));
        QCOMPARE(event, u"connected"_s);
        const QList<milliseconds> table{500ms, 1400ms, 2000ms, 4400ms, 8000ms, 15400ms, 15000ms, 15400ms};
        QCOMPARE(m_sleeps->requested.mid(0, 8), table);
    }

    void refusedTokenDuringReconnectEndsTheStream()
    {
        auto channel = connectLive();
        m_realtime->setRefuseToken(true);
        m_realtime->closeLinks();
        QVERIFY(next(channel).startsWith(u"disconnected "_s));
        QCOMPARE(next(channel), u"disconnected de Homey accepteert dit token niet meer"_s);
        QCOMPARE(next(channel), u"end"_s);
        QVERIFY(!m_socket->isRunning());
        QVERIFY(!m_socket->isReconnecting());
        QTRY_COMPARE(m_realtime->openLinkCount(), 0); // the refused attempt's link is closed
        const int made = m_realtime->linksMade();
        spin(100ms);
        QCOMPARE(m_realtime->linksMade(), made);
    }

    void disconnectDuringBackoff()
    {
        m_sleeps->divisor = 2;
        auto channel = connectLive();
        m_realtime->closeLinks();
        QVERIFY(next(channel).startsWith(u"disconnected "_s));
        QTRY_COMPARE(m_sleeps->requested.size(), 1);
        awaitTask(m_socket->disconnect());
        QCOMPARE(next(channel), u"end"_s);
        spin(600ms);
        QCOMPARE(m_realtime->linksMade(), 1);
        QVERIFY(!m_socket->isReconnecting());
    }

    void newConnectStopsTheOldReconnection()
    {
        m_sleeps->divisor = 2;
        auto first = connectLive();
        m_realtime->closeLinks();
        QVERIFY(next(first).startsWith(u"disconnected "_s));
        QTRY_COMPARE(m_sleeps->requested.size(), 1);
        auto second = connectLive();
        QCOMPARE(next(first), u"end"_s);
        spin(600ms); // well past the old loop's pause
        QCOMPARE(m_realtime->linksMade(), 2);
        QCOMPARE(m_realtime->openLinkCount(), 1);
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.x"_s);
        QCOMPARE(next(second), u"flows"_s);
    }

    void failures_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        QTest::newRow("no open") << 0 << u"de Homey reageerde niet op tijd"_s;
        QTest::newRow("handshake unanswered") << 1 << u"de Homey antwoordde niet op de handshake"_s;
        QTest::newRow("token refused") << 2 << u"unauthorized"_s;
        QTest::newRow("subscriptions refused") << 3 << u"de Homey accepteerde geen enkele subscription"_s;
        QTest::newRow("subscriptions unanswered") << 4 << u"de Homey accepteerde geen enkele subscription"_s;
        QTest::newRow("connect error") << 5 << u"{\"message\":\"nee\"}"_s;
        QTest::newRow("bare connect error") << 6 << u"de Homey weigerde de verbinding"_s;
        QTest::newRow("no hub") << 7 << QString();
    }

    void failures()
    {
        QFETCH(int, fault);
        QFETCH(QString, text);
        switch (fault) {
        case 0:
            m_realtime->setSendOpen(false);
            break;
        case 1:
            m_realtime->setAnswerHandshake(false);
            break;
        case 2:
            m_realtime->setRefuseToken(true);
            break;
        case 3:
            m_realtime->setSubscriptionAnswer(FakeRealtime::Answer::Refuse);
            break;
        case 4:
            m_realtime->setSubscriptionAnswer(FakeRealtime::Answer::Ignore);
            break;
        case 5:
        case 6:
            m_realtime->setAnswerHandshake(false);
            QObject::connect(m_realtime, &FakeRealtime::frameReceived, this, [this, fault](const QString &f) {
                if (f.startsWith(u"421"_s))
                    m_realtime->pushRaw(fault == 5 ? u"44{\"message\":\"nee\"}"_s : u"44"_s);
            });
            break;
        case 7:
            m_realtime->setAcceptingLinks(false);
            break;
        }
        const QString failure = failureOf(m_socket->connect({u"a"_s}));
        if (text.isEmpty())
            QVERIFY(failure != u"no failure"_s);
        else
            QCOMPARE(failure, text);
        QVERIFY(!m_socket->isRunning());
        QVERIFY(!m_socket->isReconnecting());
        QVERIFY(!m_socket->hasTransport());
        QTRY_COMPARE(m_realtime->openLinkCount(), 0);
        spin(50ms);
        QCOMPARE(m_realtime->linksMade(), fault == 7 ? 0 : 1);
    }

    void someSubscriptionsSuffice()
    {
        m_realtime->setSubscriptionAnswer(FakeRealtime::Answer::Ignore);
        m_realtime->setSubscriptionAnswer(u"homey:manager:zones"_s, FakeRealtime::Answer::Accept);
        m_realtime->setSubscriptionAnswer(u"homey:device:a"_s, FakeRealtime::Answer::Refuse);
        auto channel = connectLive();
        QVERIFY(m_socket->isRunning());
    }

    void disconnectDuringHandshakeFailsTheConnect()
    {
        m_realtime->setAnswerHandshake(false);
        QObject::connect(m_realtime, &FakeRealtime::frameReceived, this, [this](const QString &frame) {
            if (frame.startsWith(u"421"_s))
                m_socket->disconnect();
        });
        QCOMPARE(failureOf(m_socket->connect({})), u"verbinding gesloten"_s);
        QVERIFY(!m_socket->isRunning());
    }

    void destroyedSocketMidHandshake()
    {
        m_realtime->setAnswerHandshake(false);
        QObject::connect(m_realtime, &FakeRealtime::frameReceived, this, [this](const QString &frame) {
            if (frame.startsWith(u"421"_s))
                m_socket.reset();
        });
        QCOMPARE(failureOf(m_socket->connect({})), u"verbinding gesloten"_s);
        QVERIFY(!m_socket);
        QTRY_COMPARE(m_realtime->openLinkCount(), 0); // destroying closes the transport
    }

    void destroyedSocketMidReconnect()
    {
        m_sleeps->divisor = 2;
        auto channel = connectLive();
        m_realtime->closeLinks();
        QVERIFY(next(channel).startsWith(u"disconnected "_s));
        QTRY_COMPARE(m_sleeps->requested.size(), 1);
        m_socket.reset();
        QCOMPARE(next(channel), u"end"_s);
        spin(600ms);
        QCOMPARE(m_realtime->linksMade(), 1);
    }

    void ownEchoesAreDropped()
    {
        auto now = std::make_shared<std::chrono::steady_clock::time_point>();
        makeSocket([] { return 0.5; }, [now] { return *now; });
        auto channel = connectLive({u"abc"_s});
        awaitTask(m_socket->registerOwnTransaction(u"mine"_s));
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"mine"_s);
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, false);
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"theirs"_s);
        *now += 59900ms;
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"mine"_s);
        m_realtime->pushRaw(u"42/realtime,[\"homey:manager:flow\",\"flow.a\"]"_s);
        QCOMPARE(next(channel), u"capability abc onoff [false] -"_s);
        QCOMPARE(next(channel), u"capability abc onoff [true] theirs"_s);
        QCOMPARE(next(channel), u"flows"_s);
        *now += 100ms;
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"mine"_s);
        QCOMPARE(next(channel), u"capability abc onoff [true] mine"_s);
    }

    void soak()
    {
        auto channel = connectLive({u"abc"_s});
        constexpr int total = 10000;
        int pushed = 0;
        int read = 0;
        bool pacing = true;
        QTimer pusher;
        QObject::connect(&pusher, &QTimer::timeout, this, [&] {
            // The reader keeps up when it is never more than a few hundred events behind.
            if (pacing && pushed - read > 200)
                return;
            for (int i = 0; i < 50 && pushed < total; ++i, ++pushed)
                m_realtime->pushCapability(u"abc"_s, u"dim"_s, pushed);
            if (pushed == total)
                pusher.stop();
        });
        pusher.start(1);
        // A reader that keeps up loses nothing and sees the order kept.
        for (; read < total; ++read) {
            std::optional<HomeyEvent> event = awaitTask(channel->next(), 10s);
            QVERIFY(event);
            const auto *capability = event->as<HomeyEvent::Capability>();
            QVERIFY(capability);
            QCOMPARE(capability->value.numberValue().value_or(-1), double(read));
        }
        QCOMPARE(channel->dropped(), std::size_t(0));

        // A reader that does not read until the end finds the newest 512.
        pushed = 0;
        pacing = false;
        pusher.start(1);
        QTRY_VERIFY_WITH_TIMEOUT(channel->dropped() + channel->size() == std::size_t(total), 20000);
        QCOMPARE(channel->size(), HomeySocket::streamCapacity);
        for (int i = total - int(HomeySocket::streamCapacity); i < total; ++i) {
            std::optional<HomeyEvent> event = awaitTask(channel->next(), 1s);
            QCOMPARE(event->as<HomeyEvent::Capability>()->value.numberValue(), std::optional<double>(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestHomeySocket)
#include "tst_homeysocket.moc"
