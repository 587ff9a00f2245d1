#include "base/async/sleep.h"
#include "eventtext.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "fakehub/fakesocketlink.h"
#include "homey/realtime/homeysocket.h"
#include "homey/rest/homeyclient.h"
#include "support/awaittask.h"

#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using std::chrono::milliseconds;

using Fault = std::function<void(FakeRealtime *)>;
Q_DECLARE_METATYPE(Fault)

namespace {

struct Sleeps {
    QList<milliseconds> requested;
    int divisor = 50;
};

// Test durations in the tens of milliseconds; back-off pauses are recorded as asked and slept shortened.
RealtimeTiming fastTiming(std::shared_ptr<Sleeps> sleeps, std::function<double()> random)
{
    RealtimeTiming timing = RealtimeTiming::standard();
    timing.handshakeTimeout = 300ms;
    timing.healthInterval = 40ms;
    timing.healthTimeout = 60ms;
    timing.subscribeWindow = 150ms;
    timing.random = std::move(random);
    timing.sleep = [sleeps](milliseconds duration, CancelToken token) {
        sleeps->requested.append(duration);
        return sleepFor(std::max(1ms, duration / sleeps->divisor), std::move(token));
    };
    return timing;
}

// The next event in words, "end" when the stream ended.
QString next(const std::shared_ptr<HomeySocket::Channel> &channel, milliseconds timeout = 5s)
{
    std::optional<HomeyEvent> event = awaitTask(channel->next(), timeout);
    return event ? eventText(*event) : u"end"_s;
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

// A text frame of exactly this many bytes that the hub's flow manager could send.
QByteArray flowEventOfSize(qsizetype size)
{
    QByteArray frame = R"(42/realtime,["homey:manager:flow","flow.big",")";
    frame += QByteArray(size - frame.size() - 2, 'x') + "\"]";
    return frame;
}

} // namespace

class TestHomeySocket : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHub> m_hub;
    FakeRealtime *m_realtime = nullptr;
    std::shared_ptr<Sleeps> m_sleeps;
    std::shared_ptr<HomeySocket> m_socket;

    void startHub(quint16 port = 0)
    {
        m_hub = std::make_unique<FakeHub>();
        m_hub->setHome(QJsonObject{{u"token"_s, u"tok"_s}});
        QVERIFY(m_hub->listen(port));
        m_realtime = new FakeRealtime(m_hub.get());
    }

    void makeSocket(std::function<double()> random = [] { return 0.5; })
    {
        m_socket = std::make_shared<HomeySocket>(HomeyEndpoint{m_hub->baseURL(), u"homey-1"_s, {}}, u"tok"_s,
                                                 fastTiming(m_sleeps, std::move(random)));
    }

    std::shared_ptr<HomeySocket::Channel> connectLive(QStringList ids = {u"a"_s})
    {
        auto channel = awaitTask(m_socket->connect(ids), 5s);
        if (next(channel) != u"connected")
            throw std::runtime_error("not connected");
        return channel;
    }

    // Loses the live link, then waits until the reconnection loop has asked for `pauses` pauses.
    void loseLinkAndWaitForPauses(const std::shared_ptr<HomeySocket::Channel> &channel, int pauses)
    {
        m_realtime->closeLinks();
        QCOMPARE(next(channel), u"disconnected de Homey sloot de verbinding"_s);
        QTRY_COMPARE(m_sleeps->requested.size(), pauses);
    }

private Q_SLOTS:
    void init()
    {
        // Qt's complaint when a link that already failed is closed instead of aborted.
        QTest::failOnWarning(QRegularExpression(u"QSocketNotifier"_s));
        startHub();
        m_sleeps = std::make_shared<Sleeps>();
        makeSocket();
    }

    void cleanup()
    {
        m_socket.reset();
        m_hub.reset();
        QTest::qWait(5); // let deferred deletions run
    }

    void connectionFrames_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("nameSpace");
        QTest::newRow("two devices") << QStringList{u"a"_s, u"b"_s} << u"/realtime"_s;
        QTest::newRow("no devices") << QStringList{} << u"/realtime"_s;
        QTest::newRow("default namespace") << QStringList{u"a"_s} << u"/"_s;
    }

    void connectionFrames()
    {
        QFETCH(QStringList, ids);
        QFETCH(QString, nameSpace);
        m_realtime->setNamespace(nameSpace);
        QStringList subscriptions;
        for (const QString &id : std::as_const(ids))
            subscriptions << u"homey:device:"_s + id;
        subscriptions << u"homey:manager:devices"_s << u"homey:manager:zones"_s << u"homey:manager:flow"_s
                      << u"homey:manager:notifications"_s;
        auto channel = connectLive(ids);
        QStringList expected{u"40"_s,
                             u"421[\"handshakeClient\",{\"homeyId\":\"homey-1\",\"token\":\"tok\"}]"_s,
                             u"40"_s + nameSpace + u','};
        const QString prefix = nameSpace == u"/" ? QString() : nameSpace + u',';
        for (int i = 0; i < subscriptions.size(); ++i)
            expected << u"42%1%2[\"subscribe\",\"%3\"]"_s.arg(prefix).arg(i + 2).arg(subscriptions[i]);
        QCOMPARE(m_realtime->inboundFrames(), expected);
        QCOMPARE(m_realtime->subscriptions(), subscriptions);
    }

    // Garbage of every layer on a live link: nothing is reported, only pings are answered, and the good
    // events that follow come through.
    void hostileFramesLeaveTheLinkUp()
    {
        auto channel = connectLive({u"abc"_s});
        m_realtime->clearInboundFrames();
        QStringList frames{u""_s,
                           u"0"_s,
                           u"2probe"_s,
                           u"3"_s,
                           u"5"_s,
                           u"40"_s,
                           u"40/abc,{}"_s,
                           u"42/ns"_s,
                           u"43"_s,
                           u"43/realtime,99999999999999999999999[null]"_s,
                           u"44"_s,
                           u"44{\"a\":1}"_s,
                           u"45"_s,
                           u"49"_s,
                           u"4/"_s,
                           u"4x"_s,
                           u"42[[[[[["_s,
                           u"42/realtime,{\"a\":1}"_s,
                           u"42/realtime,[1e999999,2]"_s,
                           u"42/realtime,"_s + QString(100000, u'['),
                           u"42/realtime,[\"homey:device:abc\",\"capability\",{\"capabilityId\":5}]"_s,
                           u"42/realtime,[\"homey:manager:devices\",\"device.update\",{\"id\":3}]"_s,
                           u"42/realtime,[\"homey:manager:zones\",\"zone.create\",[]]"_s,
                           u"4"_s + QChar(0xD800)};
        QRandomGenerator random(1234);
        const QString alphabet = u"0123456789/,[]{}\":null4abc é\u0661"_s;
        while (frames.size() < 2000) {
            QString frame;
            for (int length = int(random.bounded(40)); frame.size() < length;)
                frame += alphabet.at(random.bounded(alphabet.size()));
            // A close or a disconnect is no garbage.
            if (!frame.startsWith(u'1') && !frame.startsWith(u"41"))
                frames << frame;
        }
        FakeSocketLink *link = m_realtime->lastLink();
        for (const QString &frame : std::as_const(frames))
            link->sendText(frame);
        link->sendBinary("\xff\xfe");
        link->sendBinary(R"(42/realtime,["homey:manager:flow","flow.binary"])");
        link->sendText(u"42/realtime,99999999999999999999999[\"homey:manager:flow\",\"flow.huge-id\"]"_s);
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true);
        QCOMPARE(next(channel), u"flows"_s);
        QCOMPARE(next(channel), u"flows"_s);
        QCOMPARE(next(channel), u"capability abc onoff [true] -"_s);
        QCOMPARE(channel->size(), std::size_t(0));
        const auto pings = std::count_if(frames.cbegin(), frames.cend(),
                                         [](const QString &f) { return f.startsWith(u'2'); });
        QTRY_COMPARE(m_realtime->inboundFrames(), QStringList(pings, u"3"_s));
        QVERIFY(m_socket->hasTransport());
    }

    void messageOfExactlyTheLimitIsRead()
    {
        auto channel = connectLive();
        m_realtime->lastLink()->writeFrame(0x1, flowEventOfSize(16 * 1024 * 1024));
        QCOMPARE(next(channel, 20s), u"flows"_s);
    }

    void lossesReconnect_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("closeCode"); // what the client sent the hub, when it matters
        const QString tooBig = u"bericht van de Homey is te groot"_s;
        QTest::newRow("engine close")
            << Fault(&FakeRealtime::sendEngineClose) << u"de Homey sloot de verbinding"_s << 0;
        QTest::newRow("socket disconnect")
            << Fault(&FakeRealtime::sendSocketDisconnect) << u"de Homey koppelde de verbinding los"_s << 0;
        QTest::newRow("namespaced disconnect")
            << Fault([](FakeRealtime *r) { r->pushRaw(u"41/realtime,"_s); })
            << u"de Homey koppelde de verbinding los"_s << 0;
        QTest::newRow("silent freeze")
            << Fault(&FakeRealtime::freezeLinks) << u"je Homey antwoordt niet meer"_s << 0;
        QTest::newRow("tcp close") << Fault(&FakeRealtime::closeLinks) << u"de Homey sloot de verbinding"_s
                                   << 0;
        QTest::newRow("frame head too big") << Fault([](FakeRealtime *r) {
            r->lastLink()->writeFrameHead(0x1, quint64(16 * 1024 * 1024) + 1);
        }) << tooBig << 1009;
        QTest::newRow("frame head of 2 GiB")
            << Fault([](FakeRealtime *r) { r->lastLink()->writeFrameHead(0x2, quint64(1) << 31); }) << tooBig
            << 1009;
        QTest::newRow("message too big") << Fault([](FakeRealtime *r) {
            r->lastLink()->writeFrame(0x1, QByteArray(8 * 1024 * 1024, 'x'), false);
            r->lastLink()->writeFrame(0x0, QByteArray(8 * 1024 * 1024 + 1, 'x'));
        }) << tooBig << 1009;
        QTest::newRow("text not utf-8")
            << Fault([](FakeRealtime *r) { r->lastLink()->writeFrame(0x1, "\xff"); })
            << u"de Homey stuurde een ongeldig bericht"_s << 0;
    }

    void lossesReconnect()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, reason);
        QFETCH(int, closeCode);
        auto channel = connectLive();
        fault(m_realtime);
        QCOMPARE(next(channel), u"disconnected "_s + reason);
        if (closeCode != 0)
            QTRY_COMPARE(m_realtime->lastCloseCode(), closeCode);
        QCOMPARE(next(channel), u"connected"_s);
        QCOMPARE(m_sleeps->requested, QList<milliseconds>{700ms});
        QCOMPARE(m_realtime->linksMade(), 2);
        QCOMPARE(m_realtime->openLinkCount(), 1);
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.x"_s);
        QCOMPARE(next(channel), u"flows"_s);
    }

    void backoffFollowsTheTable()
    {
        // Alternating draws of 0 and 1 show both ends of every pause.
        auto draws = std::make_shared<int>(0);
        makeSocket([draws] { return double((*draws)++ % 2); });
        auto channel = connectLive();
        const quint16 port = m_hub->port();
        m_hub.reset(); // its links are cut and its port refuses
        QTRY_VERIFY_WITH_TIMEOUT(m_sleeps->requested.size() >= 8, 10000);
        startHub(port);
        QStringList reasons;
        QString event;
        while ((event = next(channel)).startsWith(u"disconnected "_s))
            reasons << event.mid(13);
        QCOMPARE(event, u"connected"_s);
        QCOMPARE(reasons.takeFirst(), u"de Homey sloot de verbinding"_s);
        QVERIFY(reasons.size() >= 7);
        QCOMPARE(reasons, QStringList(reasons.size(), u"de Homey is niet bereikbaar"_s));
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
        QTest::qWait(100);
        QCOMPARE(m_realtime->linksMade(), made);
    }

    void failedAttemptClosesItsLinkAtOnce_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("subscriptions refused")
            << Fault([](FakeRealtime *r) { r->setSubscriptionAnswer(FakeRealtime::Answer::Refuse); });
        QTest::newRow("handshake unanswered") << Fault([](FakeRealtime *r) { r->setAnswerHandshake(false); });
    }

    void failedAttemptClosesItsLinkAtOnce()
    {
        QFETCH(Fault, fault);
        m_sleeps->divisor = 1; // the pause after the failed attempt is 1.2 s
        auto channel = connectLive();
        fault(m_realtime);
        loseLinkAndWaitForPauses(channel, 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_realtime->openLinkCount(), 0, 1000);
        QCOMPARE(m_realtime->linksMade(), 2);
    }

    // The hub accepts a subscription, then drops the link before it answers the rest.
    void linkLostWhileResubscribingIsRetried()
    {
        auto channel = connectLive();
        m_realtime->setSubscriptionAnswer(FakeRealtime::Answer::Ignore);
        m_realtime->setSubscriptionAnswer(u"homey:device:a"_s, FakeRealtime::Answer::Accept);
        auto armed = std::make_shared<bool>(true);
        QObject::connect(m_realtime, &FakeRealtime::frameReceived, this, [this, armed](const QString &frame) {
            if (*armed && frame.contains(u"homey:manager:notifications"_s)) {
                *armed = false;
                m_realtime->closeLinks();
            }
        });
        m_realtime->closeLinks();
        QCOMPARE(next(channel), u"disconnected de Homey sloot de verbinding"_s);
        QCOMPARE(next(channel), u"disconnected de Homey sloot de verbinding"_s);
        QCOMPARE(next(channel), u"connected"_s);
        QCOMPARE(m_realtime->linksMade(), 3);
        m_realtime->pushCapability(u"a"_s, u"onoff"_s, true);
        QCOMPARE(next(channel), u"capability a onoff [true] -"_s);
    }

    void stopDuringBackoff_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("disconnect") << false;
        QTest::newRow("destroy") << true;
    }

    void stopDuringBackoff()
    {
        QFETCH(bool, destroy);
        m_sleeps->divisor = 2;
        auto channel = connectLive();
        loseLinkAndWaitForPauses(channel, 1);
        if (destroy)
            m_socket.reset();
        else
            awaitTask(m_socket->disconnect());
        QCOMPARE(next(channel), u"end"_s);
        QTest::qWait(600); // well past the pause
        QCOMPARE(m_realtime->linksMade(), 1);
        QVERIFY(destroy || !m_socket->isReconnecting());
    }

    void newConnectStopsTheOldReconnection()
    {
        m_sleeps->divisor = 2;
        auto first = connectLive();
        loseLinkAndWaitForPauses(first, 1);
        auto second = connectLive();
        QCOMPARE(next(first), u"end"_s);
        QTest::qWait(600); // well past the old loop's pause
        QCOMPARE(m_realtime->linksMade(), 2);
        QCOMPARE(m_realtime->openLinkCount(), 1);
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.x"_s);
        QCOMPARE(next(second), u"flows"_s);
    }

    void failures_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("text");
        // After 421, the handshake request: the hub answers it with a CONNECT_ERROR.
        const auto connectError = [](const QString &frame) {
            return Fault([frame](FakeRealtime *r) {
                r->setAnswerHandshake(false);
                QObject::connect(r, &FakeRealtime::frameReceived, r, [r, frame](const QString &f) {
                    if (f.startsWith(u"421"_s))
                        r->pushRaw(frame);
                });
            });
        };
        QTest::newRow("no open") << Fault([](FakeRealtime *r) { r->setSendOpen(false); })
                                 << u"de Homey reageerde niet op tijd"_s;
        QTest::newRow("handshake unanswered") << Fault([](FakeRealtime *r) { r->setAnswerHandshake(false); })
                                              << u"de Homey antwoordde niet op de handshake"_s;
        QTest::newRow("token refused")
            << Fault([](FakeRealtime *r) { r->setRefuseToken(true); }) << u"unauthorized"_s;
        QTest::newRow("subscriptions refused")
            << Fault([](FakeRealtime *r) { r->setSubscriptionAnswer(FakeRealtime::Answer::Refuse); })
            << u"de Homey accepteerde geen enkele subscription"_s;
        QTest::newRow("subscriptions unanswered")
            << Fault([](FakeRealtime *r) { r->setSubscriptionAnswer(FakeRealtime::Answer::Ignore); })
            << u"de Homey accepteerde geen enkele subscription"_s;
        QTest::newRow("connect error")
            << connectError(u"44{\"message\":\"nee\"}"_s) << u"{\"message\":\"nee\"}"_s;
        QTest::newRow("bare connect error") << connectError(u"44"_s) << u"de Homey weigerde de verbinding"_s;
        QTest::newRow("no hub") << Fault([](FakeRealtime *r) { r->setAcceptingLinks(false); }) << QString();
    }

    void failures()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, text);
        fault(m_realtime);
        const QString failure = failureOf(m_socket->connect({u"a"_s}));
        if (text.isEmpty())
            QVERIFY(failure != u"no failure"_s);
        else
            QCOMPARE(failure, text);
        QVERIFY(!m_socket->isRunning());
        QVERIFY(!m_socket->isReconnecting());
        QVERIFY(!m_socket->hasTransport());
        QTRY_COMPARE(m_realtime->openLinkCount(), 0);
        // A link that got as far as the handshake is closed properly.
        QTRY_COMPARE(m_realtime->lastCloseCode(), text.isEmpty() ? 0 : 1001);
        QTest::qWait(50);
        QCOMPARE(m_realtime->linksMade(), text.isEmpty() ? 0 : 1);
    }

    void someSubscriptionsSuffice()
    {
        m_realtime->setSubscriptionAnswer(FakeRealtime::Answer::Ignore);
        m_realtime->setSubscriptionAnswer(u"homey:manager:zones"_s, FakeRealtime::Answer::Accept);
        m_realtime->setSubscriptionAnswer(u"homey:device:a"_s, FakeRealtime::Answer::Refuse);
        auto channel = connectLive();
        QVERIFY(m_socket->isRunning());
    }

    void stopDuringHandshakeFailsTheConnect_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("disconnect") << false;
        QTest::newRow("destroy") << true;
    }

    void stopDuringHandshakeFailsTheConnect()
    {
        QFETCH(bool, destroy);
        m_realtime->setAnswerHandshake(false);
        QObject::connect(m_realtime, &FakeRealtime::frameReceived, this,
                         [this, destroy](const QString &frame) {
                             if (!frame.startsWith(u"421"_s))
                                 return;
                             if (destroy)
                                 m_socket.reset();
                             else
                                 m_socket->disconnect();
                         });
        QCOMPARE(failureOf(m_socket->connect({})), u"verbinding gesloten"_s);
        QVERIFY(destroy || !m_socket->isRunning());
        QTRY_COMPARE(m_realtime->openLinkCount(), 0);
    }

    // Our own writes through the REST client come back from the hub with their transaction id.
    void ownWritesAreNotEchoed()
    {
        const QJsonObject lamp{
            {u"id"_s, u"lamp"_s},
            {u"capabilities"_s, QJsonArray{u"onoff"_s}},
            {u"capabilitiesObj"_s, QJsonObject{{u"onoff"_s, QJsonObject{{u"id"_s, u"onoff"_s}}}}}};
        m_hub->setHome(QJsonObject{{u"token"_s, u"tok"_s}, {u"devices"_s, QJsonObject{{u"lamp"_s, lamp}}}});
        HomeyClient client(HomeyEndpoint{m_hub->baseURL(), u"homey-1"_s, {}}, u"tok"_s, m_socket);
        QStringList echoed;
        QObject::connect(
            m_hub.get(), &FakeHub::capabilityChanged, this,
            [&](const QString &, const QString &, const QJsonValue &, const QString &id) { echoed << id; });
        auto channel = connectLive({u"lamp"_s});
        awaitTask(client.setCapability(u"lamp"_s, u"onoff"_s, CapabilityValue::fromBool(true)));
        awaitTask(client.setCapability(u"lamp"_s, u"onoff"_s, CapabilityValue::fromBool(true)));
        // Someone else switching the same lamp comes through, with or without an id of its own.
        m_realtime->pushCapability(u"lamp"_s, u"onoff"_s, false);
        m_realtime->pushCapability(u"lamp"_s, u"onoff"_s, true, u"app-7"_s);
        QCOMPARE(next(channel), u"capability lamp onoff [false] -"_s);
        QCOMPARE(next(channel), u"capability lamp onoff [true] app-7"_s);
        QCOMPARE(echoed.size(), 2);
        QVERIFY(echoed[0].startsWith(u"quorvane-"_s) && echoed[1] != echoed[0]);
    }

    void slowReaderKeepsTheNewest()
    {
        auto channel = connectLive({u"abc"_s});
        const int total = 2000;
        for (int i = 0; i < total; ++i)
            m_realtime->pushCapability(u"abc"_s, u"dim"_s, i);
        QTRY_COMPARE_WITH_TIMEOUT(channel->dropped() + channel->size(), std::size_t(total), 10000);
        QCOMPARE(channel->size(), HomeySocket::streamCapacity);
        for (int i = total - int(HomeySocket::streamCapacity); i < total; ++i)
            QCOMPARE(next(channel), u"capability abc dim [%1] -"_s.arg(i));
    }
};

QTEST_GUILESS_MAIN(TestHomeySocket)
#include "tst_homeysocket.moc"
