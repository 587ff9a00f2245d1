#include "base/async/sleep.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "fakehub/fakesocketlink.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyevent.h"
#include "homey/realtime/homeysocket.h"
#include "homey/realtime/owntransactions.h"
#include "homey/realtime/realtimeframes.h"
#include "homey/realtime/realtimetiming.h"
#include "support/awaittask.h"
#include "support/logcapture.h"

#include <limits>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace RealtimeFrames;
using std::chrono::milliseconds;

namespace {

constexpr int MiB = 1024 * 1024;

struct Sleeps {
    QList<milliseconds> requested;
    int divisor = 50;
    // The pauses from this one on last until they are cancelled.
    int holdFrom = std::numeric_limits<int>::max();
};

// One event in words, so a test compares whole streams at a glance.
inline QString eventText(const HomeyEvent &event)
{
    using namespace Qt::StringLiterals;
    if (const auto *c = event.as<HomeyEvent::Capability>()) {
        const QByteArray value = QJsonDocument(QJsonArray{c->value.toJson()}).toJson(QJsonDocument::Compact);
        return u"capability %1 %2 %3 %4"_s.arg(c->deviceID, c->capabilityID, QString::fromUtf8(value),
                                               c->transactionID.value_or(u"-"_s));
    }
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
    return event.as<HomeyEvent::FlowsChanged>() ? u"flows"_s : u"connected"_s;
}

QCoro::Task<std::optional<HomeyEvent>> nextOf(std::shared_ptr<HomeySocket::Channel> channel)
{
    co_return co_await channel->next();
}

// The next event in words, "end" when the stream ended.
QString next(const std::shared_ptr<HomeySocket::Channel> &channel, milliseconds timeout = 5s)
{
    std::optional<HomeyEvent> event = awaitTask(nextOf(channel), timeout);
    return event ? eventText(*event) : u"end"_s;
}

// Rows that a test reads by their names only.
void namedRows(std::initializer_list<const char *> names)
{
    QTest::addColumn<bool>("byName");
    for (const char *name : names)
        QTest::newRow(name) << true;
}

QString failureOf(QCoro::Task<std::shared_ptr<HomeySocket::Channel>> task)
{
    try {
        awaitTask(std::move(task), 30s);
    } catch (const HomeyError &error) {
        return error.kind() == HomeyError::Kind::unauthorized ? u"unauthorized"_s : error.text();
    }
    return u"no failure"_s;
}

} // namespace

// The realtime link: its frames and events read on their own, and the socket against the fake hub.
class TestRealtime : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHub> m_hub;
    FakeRealtime *m_realtime = nullptr;
    std::shared_ptr<Sleeps> m_sleeps;
    std::unique_ptr<HomeySocket> m_socket;

    void startHub(quint16 port = 0)
    {
        m_hub = std::make_unique<FakeHub>();
        m_hub->setHome(QJsonObject{{u"token"_s, u"tok"_s}});
        QVERIFY(m_hub->listen(port));
        m_realtime = new FakeRealtime(m_hub.get());
    }

    // Back-off pauses are recorded as asked and slept shortened. The waits for the hub's answers are
    // short enough for a quick run of the faults that use them up, and long enough that a loaded machine
    // with the sanitizers still gets a live hub's answers in time.
    void makeSocket(
        std::function<double()> random = [] { return 0.5; }, milliseconds healthInterval = 1h)
    {
        RealtimeTiming timing = RealtimeTiming::standard();
        timing.handshakeTimeout = 3s;
        // No pings unless a test wants them: under a sanitizer a burst of frames can outlast a short
        // time-out.
        timing.healthInterval = healthInterval;
        timing.healthTimeout = 100ms;
        timing.subscribeWindow = 1500ms;
        timing.random = std::move(random);
        timing.sleep = [sleeps = m_sleeps](milliseconds duration, CancelToken token) {
            sleeps->requested.append(duration);
            if (sleeps->requested.size() > sleeps->holdFrom)
                return sleepFor(24h, std::move(token));
            return sleepFor(std::max(1ms, duration / sleeps->divisor), std::move(token));
        };
        m_socket = std::make_unique<HomeySocket>(HomeyEndpoint{m_hub->baseURL(), u"homey-1"_s, {}}, u"tok"_s,
                                                 std::move(timing));
    }

    std::shared_ptr<HomeySocket::Channel> connectLive(QStringList ids = {u"a"_s})
    {
        auto channel = awaitTask(m_socket->connect(ids), 30s);
        if (next(channel) != u"connected")
            throw std::runtime_error("not connected");
        return channel;
    }

    // Loses the live link, then waits until the reconnection loop has asked for that many pauses.
    void loseLinkAndWaitForPauses(const std::shared_ptr<HomeySocket::Channel> &channel, int pauses)
    {
        m_realtime->closeLinks();
        QCOMPARE(next(channel), u"disconnected de Homey sloot de verbinding"_s);
        QTRY_COMPARE(m_sleeps->requested.size(), pauses);
    }

    // The hub misbehaves as the data row's name says.
    void breakHub()
    {
        FakeRealtime *hub = m_realtime;
        const auto answerHandshakeWith = [hub](std::function<void()> answer) {
            hub->setAnswerHandshake(false);
            QObject::connect(hub, &FakeRealtime::frameReceived, hub, [answer](const QString &frame) {
                if (frame.startsWith(u"421"_s))
                    answer();
            });
        };
        const std::map<QByteArray, std::function<void()>> faults{
            {"no open", [hub] { hub->setSendOpen(false); }},
            {"handshake unanswered", [hub] { hub->setAnswerHandshake(false); }},
            {"token refused", [hub] { hub->setRefuseToken(true); }},
            {"subscriptions refused", [hub] { hub->setSubscriptionAnswer(FakeRealtime::Answer::Refuse); }},
            {"subscriptions unanswered", [hub] { hub->setSubscriptionAnswer(FakeRealtime::Answer::Ignore); }},
            {"connect error",
             [=] { answerHandshakeWith([hub] { hub->pushRaw(u"44{\"message\":\"nee\"}"_s); }); }},
            {"bare connect error", [=] { answerHandshakeWith([hub] { hub->pushRaw(u"44"_s); }); }},
            {"disconnect in handshake",
             [=, this] { answerHandshakeWith([this] { m_socket->disconnect(); }); }},
            {"destroy in handshake", [=, this] { answerHandshakeWith([this] { m_socket.reset(); }); }},
            {"no hub", [hub] { hub->setAcceptingLinks(false); }},
            {"engine close", [hub] { hub->sendEngineClose(); }},
            {"socket disconnect", [hub] { hub->sendSocketDisconnect(); }},
            {"namespaced disconnect", [hub] { hub->pushRaw(u"41/realtime,"_s); }},
            {"silent freeze", [hub] { hub->freezeLinks(); }},
            {"tcp close", [hub] { hub->closeLinks(); }},
            {"frame head too big", [hub] { hub->lastLink()->writeFrameHead(0x1, 16 * MiB + 1); }},
            {"message too big",
             [hub] {
                 hub->lastLink()->writeFrame(0x1, QByteArray(8 * MiB, 'x'), false);
                 hub->lastLink()->writeFrame(0x0, QByteArray(8 * MiB + 1, 'x'));
             }},
            {"text not utf-8", [hub] { hub->lastLink()->writeFrame(0x1, "\xff"); }},
        };
        faults.at(QTest::currentDataTag())();
    }

private Q_SLOTS:
    void reader_data()
    {
        // What is read: type, namespace, ack id or "-", data; "none" when nothing is read.
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QString>("read");
        QTest::newRow("empty") << u""_s << u"none"_s;
        QTest::newRow("not a digit") << u"x1"_s << u"none"_s;
        QTest::newRow("connect") << u"0"_s << u"0 / - "_s;
        QTest::newRow("namespaced connect") << u"0/abc,{}"_s << u"0 /abc - {}"_s;
        QTest::newRow("namespace without comma") << u"2/ns"_s << u"2 /ns - "_s;
        QTest::newRow("ack") << u"3/n,17[null]"_s << u"3 /n 17 [null]"_s;
        QTest::newRow("ack too long") << u"399999999999999999999[1]"_s << u"3 / - [1]"_s;
        QTest::newRow("other script digits") << u"3١٢[1]"_s << u"3 / - [1]"_s;
        QTest::newRow("fraction") << u"31½[1]"_s << u"3 / - [1]"_s;
        QTest::newRow("supplementary digit") << u"3\U0001D7D9[1]"_s << u"3 / - [1]"_s;
    }
    void reader()
    {
        QFETCH(QString, packet);
        QFETCH(QString, read);
        const std::optional<SocketIOPacket> p = readSocketIO(packet);
        const QString ackID = p && p->ackID ? QString::number(*p->ackID) : u"-"_s;
        QCOMPARE(p ? u"%1 %2 %3 %4"_s.arg(p->type).arg(p->nameSpace, ackID, QString::fromUtf8(p->data))
                   : u"none"_s,
                 read);
    }

    void subscriptionAnswers()
    {
        for (const char *accepted : {"[null]", "[]", "[nu", "{\"a\":1}"})
            QVERIFY2(subscriptionAccepted(accepted), accepted);
        for (const char *refused : {"[\"error\"]", "[{},null]"})
            QVERIFY2(!subscriptionAccepted(refused), refused);
    }

    void handshake_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("result"); // a namespace, "unauthorized", or "!" + socket text
        const auto row = [](const char *name, const char *payload, const QString &result) {
            QTest::newRow(name) << QByteArray(payload) << result;
        };
        const QString unreadable = u"!onleesbaar antwoord op de handshake"_s;
        const QString noNamespace = u"!de handshake gaf geen namespace terug"_s;
        row("ok", R"([null,{"success":true,"namespace":"/x"}])", u"/x"_s);
        row("success not bool", R"([null,{"success":"no","namespace":"n"}])", u"n"_s);
        row("not json", "[null,", unreadable);
        row("object", "{}", unreadable);
        row("empty", "[]", noNamespace);
        row("no object", "[null]", noNamespace);
        row("empty namespace", R"([null,{"namespace":""}])", noNamespace);
        row("numeric namespace", R"([null,{"namespace":3}])", noNamespace);
        row("success false", R"([null,{"success":false,"namespace":"/x"}])", u"unauthorized"_s);
        row("invalid token", R"(["Invalid Token"])", u"unauthorized"_s);
        row("auth object", R"([{"code":"AUTH_FAILED"}])", u"unauthorized"_s);
        row("other error", R"(["Kapot"])", u"!Kapot"_s);
        row("numeric error", "[42]", u"!42"_s);
    }
    void handshake()
    {
        QFETCH(QByteArray, payload);
        QString got;
        try {
            got = parseHandshake(payload);
        } catch (const HomeyError &error) {
            got = error.kind() == HomeyError::Kind::unauthorized ? u"unauthorized"_s : u"!"_s + error.text();
        }
        QTEST(got, "result");
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("event");
        const auto row = [](const char *name, const char *data, const QString &event = u"none"_s) {
            QTest::newRow(name) << QByteArray(data) << event;
        };
        row("capability", R"(["homey:device:abc","capability",{"capabilityId":"onoff","value":true}])",
            u"capability abc onoff [true] -"_s);
        row("capability null",
            R"(["homey:device:abc","capability",{"capabilityId":"dim","value":null,"transactionId":"t"}])",
            u"capability abc dim [null] t"_s);
        row("capability missing value", R"(["homey:device:abc","capability",{"capabilityId":"dim"}])",
            u"capability abc dim [null] -"_s);
        row("capability without id", R"(["homey:device:abc","capability",{"value":1}])");
        // What the hub's JavaScript writes and a strict reader refuses: read as the REST answers are.
        row("capability huge integer",
            R"(["homey:device:abc","capability",{"capabilityId":"meter","value":100000000000000000000}])",
            u"capability abc meter [1e+20] -"_s);
        row("capability lone surrogate",
            R"(["homey:device:abc","capability",{"capabilityId":"label","value":"a\ud800b"}])",
            u"capability abc label [\"a\ufffdb\"] -"_s);
        row("device capability two elements", R"(["homey:device:abc","capability"])");
        row("other device event", R"(["homey:device:abc","update",{}])");
        row("device update", R"(["homey:manager:devices","device.update",{"id":"d","name":"L"}])",
            u"device d"_s);
        row("delete text", R"(["homey:manager:devices","device.delete","abc"])", u"deleted abc"_s);
        row("delete object", R"(["homey:manager:devices","device.delete",{"id":"abc"}])", u"deleted abc"_s);
        row("delete numeric", R"(["homey:manager:devices","device.delete",{"id":1}])");
        row("delete bare", R"(["homey:manager:devices","device.delete"])");
        row("zone", R"(["homey:manager:zones","zone.create",{"id":"z","name":"K"}])", u"zone z"_s);
        row("zone delete", R"(["homey:manager:zones","zone.delete",{"id":"z"}])");
        row("flow", R"(["homey:manager:flow","flow.updated"])", u"flows"_s);
        row("advanced flow", R"(["homey:manager:flow","advancedflow.deleted",{}])", u"flows"_s);
        row("flow folder", R"(["homey:manager:flow","flowfolder.update"])");
        row("notification", R"(["homey:manager:notifications","notification.create",{"id":"n"}])",
            u"notification n"_s);
        row("case matters", R"(["homey:manager:Flow","flow.updated"])");
        row("uri only", R"(["homey:manager:flow"])");
        row("empty", "");
        row("numeric uri", R"([1,"flow.x"])");
        row("two documents", R"(["homey:manager:flow","flow.x"],[1])");
    }
    void events()
    {
        QFETCH(QByteArray, data);
        const std::optional<HomeyEvent> mapped = mapEvent(data);
        QTEST(mapped ? eventText(*mapped) : u"none"_s, "event");
    }

    // What reaches the main thread: EVENT packets as their events (or nothing), every other frame whole.
    void framesAsTheMainThreadGetsThem_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("inbound");
        const QString capability = u"capability abc onoff [true] -"_s;
        const QString data = uR"(["homey:device:abc","capability",{"capabilityId":"onoff","value":true}])"_s;
        QTest::newRow("event") << u"42"_s + data << u"event "_s + capability;
        QTest::newRow("namespaced event with ack") << u"42/ns,7"_s + data << u"event "_s + capability;
        QTest::newRow("event for nothing")
            << uR"(42["homey:manager:flow","flowfolder.update"])"_s << u"dropped"_s;
        QTest::newRow("broken event") << u"42[\"homey"_s << u"dropped"_s;
        for (const QString &frame : {u"43/n,17[null]"_s, u"40/x,{}"_s, u"44\"nee\""_s, u"2"_s, u"4"_s, u""_s})
            QTest::newRow(qPrintable(u"text "_s + frame)) << frame << u"text "_s + frame;
    }
    void framesAsTheMainThreadGetsThem()
    {
        QFETCH(QString, frame);
        const InboundFrame read = RealtimeFrames::read(frame);
        QTEST(read.isEvent ? (read.event ? u"event "_s + eventText(*read.event) : u"dropped"_s)
                           : u"text "_s + read.text,
              "inbound");
    }

    void ownTransactionWindow()
    {
        auto now = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::hours(1));
        OwnTransactions own([now] { return *now; });
        own.registerOwn(u"a"_s);
        *now += 59900ms;
        QVERIFY(own.isOwn(u"a"_s));
        QVERIFY(!own.isOwn(u"b"_s));
        *now += 100ms;
        QVERIFY(!own.isOwn(u"a"_s));
        own.registerOwn(u"b"_s); // forgets the expired one
        QCOMPARE(own.size(), 1);
        *now -= 10min; // a registration ahead of the clock is fresh
        QVERIFY(own.isOwn(u"b"_s));
    }

    void backoff()
    {
        // The socket's test walks the table; here only what it cannot reach.
        QCOMPARE(RealtimeTiming::backoff(40, 1), 15400ms);
        QCOMPARE(RealtimeTiming::backoff(3, std::nan("")), 2000ms);
        const RealtimeTiming standard = RealtimeTiming::standard();
        for (int i = 0; i < 1000; ++i) {
            const double r = standard.random();
            QVERIFY(r >= 0 && r <= 1);
        }
    }

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

    // Garbage of every layer on a live link: nothing is reported or logged, only pings are answered, and
    // the good events that follow come through, the largest one allowed included.
    void hostileFramesLeaveTheLinkUp()
    {
        const LogCapture log;
        auto channel = connectLive({u"abc"_s});
        m_realtime->clearInboundFrames();
        QStringList frames = u"0 2probe 3 5 40 40/abc,{} 42/ns 43 44 44{\"a\":1} 45 49 4/ 4x 42[[[[[[ "
                             u"42/realtime,{\"a\":1} 42/realtime,[1e999999,2] "
                             u"43/realtime,99999999999999999999999[null]"_s.split(u' ');
        frames << QString() << u"42/realtime,"_s + QString(100000, u'[') << u"4"_s + QChar(0xD800)
               << u"42/realtime,[\"homey:device:abc\",\"capability\",{\"capabilityId\":5}]"_s
               << u"42/realtime,[\"homey:manager:devices\",\"device.update\",{\"id\":3}]"_s
               << u"42/realtime,[\"homey:manager:zones\",\"zone.create\",[]]"_s;
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
        link->sendBinary("42/realtime,[\"homey:manager:flow\",\"flow.binary\"]");
        link->sendText(u"42/realtime,99999999999999999999999[\"homey:manager:flow\",\"flow.huge-id\"]"_s);
        QByteArray largest = "42/realtime,[\"homey:manager:flow\",\"flow.largest\",\"";
        link->writeFrame(0x1, largest + QByteArray(16 * MiB - largest.size() - 2, 'x') + "\"]");
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(next(channel, 20s), u"flows"_s);
        QCOMPARE(next(channel), u"capability abc onoff [true] -"_s);
        QCOMPARE(channel->size(), std::size_t(0));
        const auto pings = std::count_if(frames.cbegin(), frames.cend(),
                                         [](const QString &f) { return f.startsWith(u'2'); });
        QTRY_COMPARE(m_realtime->inboundFrames(), QStringList(pings, u"3"_s));
        QCOMPARE(log.lines(), QStringList());
    }

    void lossesReconnect_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("closeCode"); // what the client sent the hub, when it matters
        QTest::newRow("engine close") << u"de Homey sloot de verbinding"_s << 0;
        QTest::newRow("socket disconnect") << u"de Homey koppelde de verbinding los"_s << 0;
        QTest::newRow("namespaced disconnect") << u"de Homey koppelde de verbinding los"_s << 0;
        QTest::newRow("silent freeze") << u"je Homey antwoordt niet meer"_s << 0;
        QTest::newRow("tcp close") << u"de Homey sloot de verbinding"_s << 0;
        QTest::newRow("frame head too big") << u"bericht van de Homey is te groot"_s << 1009;
        QTest::newRow("message too big") << u"bericht van de Homey is te groot"_s << 1009;
        QTest::newRow("text not utf-8") << u"de Homey stuurde een ongeldig bericht"_s << 0;
    }
    void lossesReconnect()
    {
        QFETCH(QString, reason);
        QFETCH(int, closeCode);
        if (QTest::currentDataTag() == QByteArray("silent freeze"))
            makeSocket([] { return 0.5; }, 40ms);
        auto channel = connectLive();
        breakHub();
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
        namedRows({"subscriptions refused", "handshake unanswered"});
    }
    void failedAttemptClosesItsLinkAtOnce()
    {
        m_sleeps->holdFrom = 1; // the pause after the failed attempt lasts: its link must close before
        auto channel = connectLive();
        breakHub();
        loseLinkAndWaitForPauses(channel, 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_realtime->openLinkCount(), 0, 30000);
        QCOMPARE(m_realtime->linksMade(), 2);
    }

    // The hub accepts one subscription and refuses one, then drops the link before it answers the rest.
    // Once it keeps the link, one accepted subscription suffices.
    void linkLostWhileResubscribingIsRetried()
    {
        auto channel = connectLive();
        m_realtime->setSubscriptionAnswer(FakeRealtime::Answer::Ignore);
        m_realtime->setSubscriptionAnswer(u"homey:device:a"_s, FakeRealtime::Answer::Accept);
        m_realtime->setSubscriptionAnswer(u"homey:manager:zones"_s, FakeRealtime::Answer::Refuse);
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

    void stopDuringBackoff_data() { namedRows({"disconnect", "destroy", "new connect"}); }

    void stopDuringBackoff()
    {
        const QByteArray how = QTest::currentDataTag();
        m_sleeps->divisor = 2;
        auto channel = connectLive();
        loseLinkAndWaitForPauses(channel, 1);
        std::shared_ptr<HomeySocket::Channel> second;
        if (how == "disconnect")
            awaitTask(m_socket->disconnect());
        else if (how == "destroy")
            m_socket.reset();
        else
            second = connectLive();
        QCOMPARE(next(channel), u"end"_s);
        QTest::qWait(600); // well past the old loop's pause
        QCOMPARE(m_realtime->linksMade(), second ? 2 : 1);
        QCOMPARE(m_realtime->openLinkCount(), second ? 1 : 0);
        QVERIFY(!m_socket || !m_socket->isReconnecting());
        if (second) {
            m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.x"_s);
            QCOMPARE(next(second), u"flows"_s);
        }
    }

    void failures_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("no open") << u"de Homey reageerde niet op tijd"_s;
        QTest::newRow("handshake unanswered") << u"de Homey antwoordde niet op de handshake"_s;
        QTest::newRow("token refused") << u"unauthorized"_s;
        QTest::newRow("subscriptions refused") << u"de Homey accepteerde geen enkele subscription"_s;
        QTest::newRow("subscriptions unanswered") << u"de Homey accepteerde geen enkele subscription"_s;
        QTest::newRow("connect error") << u"{\"message\":\"nee\"}"_s;
        QTest::newRow("bare connect error") << u"de Homey weigerde de verbinding"_s;
        QTest::newRow("disconnect in handshake") << u"verbinding gesloten"_s;
        QTest::newRow("destroy in handshake") << u"verbinding gesloten"_s;
        QTest::newRow("no hub") << QString();
    }
    void failures()
    {
        QFETCH(QString, text);
        breakHub();
        const QString failure = failureOf(m_socket->connect({u"a"_s}));
        if (text.isEmpty())
            QVERIFY(failure != u"no failure"_s);
        else
            QCOMPARE(failure, text);
        QVERIFY(!m_socket ||
                !(m_socket->isRunning() || m_socket->isReconnecting() || m_socket->hasTransport()));
        QTRY_COMPARE(m_realtime->openLinkCount(), 0);
        // A link that got as far as the handshake is closed properly.
        QTRY_COMPARE(m_realtime->lastCloseCode(), text.isEmpty() ? 0 : 1001);
        QTest::qWait(50);
        QCOMPARE(m_realtime->linksMade(), text.isEmpty() ? 0 : 1);
    }

    void ownEchoesAreDropped()
    {
        auto channel = connectLive({u"abc"_s});
        awaitTask(m_socket->registerOwnTransaction(u"mine"_s));
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"mine"_s);
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, false);
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"theirs"_s);
        m_realtime->pushCapability(u"abc"_s, u"onoff"_s, true, u"mine"_s); // every echo of it
        m_realtime->pushEvent(u"homey:manager:flow"_s, u"flow.a"_s);
        QCOMPARE(next(channel), u"capability abc onoff [false] -"_s);
        QCOMPARE(next(channel), u"capability abc onoff [true] theirs"_s);
        QCOMPARE(next(channel), u"flows"_s);
    }

    // Events are gathered on the reading thread; a frame of another kind must not overtake them.
    void eventsGatheredStillComeBeforeTheLoss()
    {
        auto channel = connectLive({u"abc"_s});
        for (int i = 0; i < 30; ++i)
            m_realtime->pushCapability(u"abc"_s, u"dim"_s, i);
        m_realtime->sendSocketDisconnect();
        for (int i = 0; i < 30; ++i)
            QCOMPARE(next(channel), u"capability abc dim [%1] -"_s.arg(i));
        QVERIFY(next(channel).startsWith(u"disconnected"_s));
    }

    void backgroundGatheringKeepsEveryEventInOrder()
    {
        // Set before the link opens, so the new link takes it; left while events are held.
        m_socket->setInBackground(true);
        auto channel = connectLive({u"abc"_s});
        for (int i = 0; i < 20; ++i)
            m_realtime->pushCapability(u"abc"_s, u"dim"_s, i);
        QCOMPARE(next(channel), u"capability abc dim [0] -"_s);
        m_socket->setInBackground(false);
        for (int i = 20; i < 40; ++i)
            m_realtime->pushCapability(u"abc"_s, u"dim"_s, i);
        for (int i = 1; i < 40; ++i)
            QCOMPARE(next(channel), u"capability abc dim [%1] -"_s.arg(i));
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

QTEST_GUILESS_MAIN(TestRealtime)
#include "tst_realtime.moc"
