#include "awaittask.h"
#include "base/async/cancelled.h"
#include "base/log.h"
#include "fakehub/fakehub.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/homeyclient.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QtTest>
#include <vector>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text).replace('\'', '"')).object();
}

// Records each registration together with how many requests the hub had seen at that moment.
class RecordingRealtime : public HomeyRealtime {
public:
    explicit RecordingRealtime(FakeHub &hub) : m_hub(hub) {}

    QCoro::Task<std::shared_ptr<EventChannel<HomeyEvent>>> connect(QStringList) override
    {
        co_return std::shared_ptr<EventChannel<HomeyEvent>>();
    }
    QCoro::Task<> disconnect() override { co_return; }
    QCoro::Task<> registerOwnTransaction(QString transactionID) override
    {
        registered.append(transactionID);
        requestsSeen.append(m_hub.requests().size());
        co_return;
    }

    QStringList registered;
    QList<qsizetype> requestsSeen;

private:
    FakeHub &m_hub;
};

const HomeyClient::Options quick{200ms, 400ms, 4};

template <class T> HomeyError failureOf(QCoro::Task<T> task)
{
    try {
        awaitTask(std::move(task));
    } catch (const HomeyError &error) {
        return error;
    }
    throw std::runtime_error("the operation did not fail with a HomeyError");
}

template <class T> bool cancelled(QCoro::Task<T> task)
{
    try {
        awaitTask(std::move(task));
    } catch (const Cancelled &) {
        return true;
    } catch (...) {
    }
    return false;
}

// Runs the event loop until the hub has seen count requests, or a generous limit passes.
bool waitForRequests(FakeHub &hub, qsizetype count)
{
    return QTest::qWaitFor([&] { return hub.requests().size() >= count; }, 5000);
}

} // namespace

class TestHomeyClient : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeHub> m_hub;
    std::shared_ptr<RecordingRealtime> m_realtime;

    std::unique_ptr<HomeyClient> client(const QString &token = u"secret"_s)
    {
        return std::make_unique<HomeyClient>(HomeyEndpoint{m_hub->baseURL(), u"hub"_s, std::nullopt}, token,
                                             m_realtime, quick);
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        QVERIFY(m_hub->listen());
        QString error;
        QVERIFY2(m_hub->loadHome(QStringLiteral(QUORVANE_RESTHOME), &error), qPrintable(error));
        m_realtime = std::make_shared<RecordingRealtime>(*m_hub);
        HomeyClient::setDryRunForTesting(false);
    }

    void cleanup()
    {
        m_realtime.reset();
        m_hub.reset();
        HomeyClient::setDryRunForTesting(std::nullopt);
    }

    void readsInOrder()
    {
        auto c = client();
        const QList<Zone> zones = awaitTask(c->zones());
        QCOMPARE(zones.size(), 2);
        QCOMPARE(zones[0].name, u"Hal"_s);
        QCOMPARE(zones[1].icon, u"default"_s);

        const QList<Device> devices = awaitTask(c->devices());
        QCOMPARE(devices.size(), 2); // the malformed device is skipped
        QCOMPARE(devices[0].id, u"d2"_s);
        QCOMPARE(devices[1].capabilityOrder, (QStringList{u"onoff"_s, u"dim"_s}));
        QCOMPARE(devices[1].capabilities.at(u"dim"_s).value, CapabilityValue::fromNumber(0.5));

        const QList<Flow> flows = awaitTask(c->flows());
        QCOMPARE(flows.size(), 2);
        QCOMPARE(flows[0].id, u"a1"_s);
        QVERIFY(flows[0].isAdvanced);
        QCOMPARE(flows[1].id, u"f1"_s);

        const QList<Mood> moods = awaitTask(c->moods());
        QCOMPARE(moods.size(), 2);
        QCOMPARE(moods[0].name, u"Diner"_s);

        QCOMPARE(awaitTask(c->favorites()), (Favorites{{u"d2"_s, u"d1"_s}, {}, {u"m1"_s}}));
        QCOMPARE(awaitTask(c->energy()), (EnergyState{150, 100, 50}));

        const QList<RawNotification> notes = awaitTask(c->notifications());
        QCOMPARE(notes.size(), 3);
        QCOMPARE(notes[0].excerpt, u"nieuw"_s);
        QCOMPARE(notes[2].id, u"n3"_s);

        // Every read is a plain GET with the token and the JSON accept header, under /api/.
        const QList<FakeRequest> requests = m_hub->requests();
        QStringList targets;
        for (const FakeRequest &request : requests) {
            QCOMPARE(request.method, "GET");
            QCOMPARE(request.header("Authorization"), "Bearer secret");
            QCOMPARE(request.header("Accept"), "application/json");
            QVERIFY(!request.hasHeader("Content-Type"));
            targets.append(QString::fromLatin1(request.target));
        }
        for (const char *path :
             {"zones/zone/", "devices/device/", "flow/flow/", "flow/advancedflow/", "moods/mood/",
              "users/user/me", "energy/live/", "notifications/notification/"})
            QVERIFY2(targets.contains(u"/api/manager/"_s + QLatin1StringView(path)), path);
    }

    void systemAndCPU()
    {
        auto c = client();
        const SystemState first = awaitTask(c->system());
        QCOMPARE(first.memoryPercent, 75.0);
        QCOMPARE(first.firmware, u"12.1.0"_s);
        QCOMPARE(first.uptime, 42.0);
        QVERIFY(!first.cpuPercent);

        QJsonObject home = m_hub->home();
        home[u"system"_s] = json("{'totalmem':1000,'freemem':250,"
                                 "'cpus':[{'times':{'user':130,'nice':0,'sys':0,'idle':170,'irq':0}}]}");
        m_hub->setHome(home);
        QCOMPARE(awaitTask(c->system()).cpuPercent, 30.0);

        home[u"system"_s] = json("{'totalmem':1000,'freemem':250,'cpus':["
                                 "{'times':{'user':200,'nice':0,'sys':0,'idle':200,'irq':0}},"
                                 "{'times':{'user':200,'nice':0,'sys':0,'idle':200,'irq':0}}]}");
        m_hub->setHome(home);
        QVERIFY(!awaitTask(c->system()).cpuPercent);

        // A failed read leaves the sample alone: the next good one compares with the last good one.
        m_hub->failPath(u"manager/system/"_s, 500);
        failureOf(c->system());
        m_hub->clearFaults();
        home[u"system"_s] = json("{'totalmem':1000,'freemem':250,'cpus':["
                                 "{'times':{'user':300,'nice':0,'sys':0,'idle':200,'irq':0}},"
                                 "{'times':{'user':200,'nice':0,'sys':0,'idle':300,'irq':0}}]}");
        m_hub->setHome(home);
        QCOMPARE(awaitTask(c->system()).cpuPercent, 50.0);

        // A fresh client has no sample yet.
        QVERIFY(!awaitTask(client()->system()).cpuPercent);
    }

    void writes()
    {
        auto c = client();
        awaitTask(c->setCapability(u"d1"_s, u"dim"_s, CapabilityValue::fromNumber(0.25)));
        awaitTask(c->setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(false)));
        awaitTask(c->startFlow(u"f1"_s, false));
        awaitTask(c->startFlow(u"a1"_s, true));
        awaitTask(c->setMood(u"m1"_s));

        const QList<FakeRequest> requests = m_hub->requests();
        QCOMPARE(requests.size(), 5);
        QCOMPARE(m_realtime->registered.size(), 2);
        const QString first = m_realtime->registered[0];
        QCOMPARE(first.size(), 45);
        QVERIFY(first.startsWith(u"quorvane-"_s));
        QCOMPARE(first.mid(9), first.mid(9).toUpper());
        QVERIFY(!QUuid::fromString(first.mid(9)).isNull());
        QVERIFY(m_realtime->registered[1] != first);
        // Registered before the request went out.
        QCOMPARE(m_realtime->requestsSeen, (QList<qsizetype>{0, 1}));

        QCOMPARE(requests[0].method, "PUT");
        QCOMPARE(requests[0].target, "/api/manager/devices/device/d1/capability/dim");
        QCOMPARE(requests[0].header("Content-Type"), "application/json");
        QCOMPARE(requests[0].header("Authorization"), "Bearer secret");
        QCOMPARE(requests[0].header("Accept"), "application/json");
        QCOMPARE(requests[0].body, "{\"value\":0.25,\"transactionId\":\"" + first.toLatin1() + "\"}");
        QCOMPARE(requests[1].body,
                 "{\"value\":false,\"transactionId\":\"" + m_realtime->registered[1].toLatin1() + "\"}");

        const QList<QPair<QByteArray, QByteArray>> posts{
            {"/api/manager/flow/flow/f1/trigger", "POST"},
            {"/api/manager/flow/advancedflow/a1/trigger", "POST"},
            {"/api/manager/moods/mood/m1/set", "POST"}};
        for (qsizetype i = 0; i < posts.size(); ++i) {
            const FakeRequest &request = requests[2 + i];
            QCOMPARE(request.target, posts[i].first);
            QCOMPARE(request.method, posts[i].second);
            QVERIFY(request.body.isEmpty());
            QVERIFY(!request.hasHeader("Content-Type"));
            QCOMPARE(request.header("Authorization"), "Bearer secret");
        }
    }

    void idsAreOnePathSegment_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("segment");

        QTest::newRow("sub-capability") << u"onoff.output2"_s << QByteArray("onoff.output2");
        QTest::newRow("slash") << u"a/b"_s << QByteArray("a%2Fb");
        QTest::newRow("space and hash") << u"a b#c"_s << QByteArray("a%20b%23c");
        QTest::newRow("query and percent") << u"x?y=%"_s << QByteArray("x%3Fy=%25");
        QTest::newRow("non-ASCII") << u"é"_s << QByteArray("%C3%A9");
        QTest::newRow("dots inside") << u"..."_s << QByteArray("...");
    }

    void idsAreOnePathSegment()
    {
        QFETCH(QString, id);
        QFETCH(QByteArray, segment);
        // The fake may not know the id; only what reached it counts.
        auto c = client();
        try {
            awaitTask(c->setCapability(u"dev"_s, id, CapabilityValue::fromBool(true)));
        } catch (const HomeyError &) {
        }
        try {
            awaitTask(c->setMood(id));
        } catch (const HomeyError &) {
        }
        const QList<FakeRequest> requests = m_hub->requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].target, "/api/manager/devices/device/dev/capability/" + segment);
        QCOMPARE(requests[1].target, "/api/manager/moods/mood/" + segment + "/set");
    }

    void refusedBeforeSending_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("empty") << QString();
        QTest::newRow("dot") << u"."_s;
        QTest::newRow("dot dot") << u".."_s;
    }

    void refusedBeforeSending()
    {
        QFETCH(QString, id);
        auto c = client();
        QCOMPARE(failureOf(c->setCapability(id, u"onoff"_s, CapabilityValue::fromBool(true))).kind(),
                 HomeyError::Kind::decoding);
        QCOMPARE(failureOf(c->setCapability(u"d1"_s, id, CapabilityValue::fromBool(true))).kind(),
                 HomeyError::Kind::decoding);
        const HomeyError flow = failureOf(c->startFlow(id, true));
        QCOMPARE(flow.text(),
                 u"manager/flow/advancedflow/"_s + id + u"/trigger: kon het verzoek niet opbouwen"_s);
        QCOMPARE(failureOf(c->setMood(id)).kind(), HomeyError::Kind::decoding);
        // A number JSON cannot carry is refused the same way.
        QCOMPARE(failureOf(c->setCapability(u"d1"_s, u"dim"_s, CapabilityValue::fromNumber(qQNaN()))).text(),
                 u"manager/devices/device/d1/capability/dim: kon het verzoek niet opbouwen"_s);
        QVERIFY(m_hub->requests().isEmpty());
        QVERIFY(m_realtime->registered.isEmpty());
    }

    void tokenWithControlCharactersNeverSent()
    {
        for (const QString &token : {u"secret\r\nX-Evil: 1"_s, u"secret\n"_s, u"a\u0000b"_s, u"a\u007fb"_s}) {
            auto c = client(token);
            QCOMPARE(failureOf(c->zones()).kind(), HomeyError::Kind::unauthorized);
            QCOMPARE(failureOf(c->setMood(u"m1"_s)).kind(), HomeyError::Kind::unauthorized);
        }
        QVERIFY(m_hub->requests().isEmpty());

        // The empty token is sent as it is.
        failureOf(client(QString())->zones());
        QCOMPARE(m_hub->requests().size(), 1);
        QCOMPARE(m_hub->requests()[0].header("Authorization"), "Bearer");
        QVERIFY(m_hub->requests()[0].rawHead.contains("\r\nAuthorization: Bearer \r\n"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<HomeyError>("expected");

        const QString zones = u"/api/manager/zones/zone/"_s;
        QTest::newRow("wrong token") << u"token"_s << 0 << HomeyError::unauthorized();
        QTest::newRow("403") << u"status"_s << 403 << HomeyError::unauthorized();
        QTest::newRow("402") << u"status"_s << 402 << HomeyError::http(402, zones);
        QTest::newRow("404") << u"status"_s << 404 << HomeyError::http(404, zones);
        QTest::newRow("500") << u"status"_s << 500 << HomeyError::http(500, zones);
        QTest::newRow("redirect not followed") << u"redirect"_s << 0 << HomeyError::http(302, zones);
        QTest::newRow("not JSON") << u"malformed"_s << 0 << HomeyError::decoding(u"manager/zones/zone/: "_s);
        QTest::newRow("array") << u"array"_s << 0
                               << HomeyError::decoding(u"manager/zones/zone/: expected object, found list"_s);
        QTest::newRow("connection dropped") << u"close"_s << 0 << HomeyError::unreachable(u"127.0.0.1"_s);
        QTest::newRow("cut off mid-body") << u"cut"_s << 0 << HomeyError::unreachable(u"127.0.0.1"_s);
        QTest::newRow("stalled") << u"stall"_s << 0 << HomeyError::unreachable(u"127.0.0.1"_s);
    }

    void failures()
    {
        QFETCH(QString, fault);
        QFETCH(int, status);
        QFETCH(HomeyError, expected);
        const QString path = u"manager/zones/zone/"_s;
        if (fault == u"token")
            m_hub->setToken(u"other"_s);
        else if (fault == u"status")
            m_hub->failPath(path, status);
        else if (fault == u"redirect")
            m_hub->redirectPath(path, m_hub->baseURL().toString() + u"/api/manager/moods/mood/"_s);
        else if (fault == u"malformed")
            m_hub->malformPath(path, "{\"a\":");
        else if (fault == u"array")
            m_hub->malformPath(path, "[]");
        else if (fault == u"close")
            m_hub->closePath(path);
        else if (fault == u"cut")
            m_hub->rawResponsePath(path, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"z\":");
        else if (fault == u"stall")
            m_hub->stallPath(path);

        const HomeyError error = failureOf(client()->zones());
        if (expected.kind() == HomeyError::Kind::decoding)
            QVERIFY2(error.text().startsWith(expected.text()), qPrintable(error.text()));
        else
            QCOMPARE(error, expected);
        // The moods were never asked for: the redirect was not followed. (Qt itself sends a request once
        // more when the connection drops before any answer.)
        if (fault != u"close")
            QCOMPARE(m_hub->requests().size(), 1);
    }

    void unreachableHosts()
    {
        // A port nobody listens on.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        HomeyClient refused({QUrl(u"http://127.0.0.1:%1"_s.arg(port)), u"h"_s, std::nullopt}, u"t"_s, {},
                            quick);
        QCOMPARE(failureOf(refused.zones()), HomeyError::unreachable(u"127.0.0.1"_s));

        HomeyClient hostless({QUrl(u"http:/nohost"_s), u"h"_s, std::nullopt}, u"t"_s, {}, quick);
        const HomeyError error = failureOf(hostless.zones());
        QCOMPARE(error, HomeyError::unreachable(u"je Homey"_s));
        QCOMPARE(error.errorDescription(), u"Geen contact met je Homey op je Homey."_s);
    }

    void advancedFlowsFailing()
    {
        m_hub->failPath(u"manager/flow/advancedflow/"_s, 500);
        QCOMPARE(failureOf(client()->flows()), HomeyError::http(500, u"/api/manager/flow/advancedflow/"_s));

        // Both failing: the standard list's error is the one reported.
        m_hub->failPath(u"manager/flow/flow/"_s, 404);
        QCOMPARE(failureOf(client()->flows()), HomeyError::http(404, u"/api/manager/flow/flow/"_s));

        // A stalled standard list is stopped as soon as the advanced one fails.
        m_hub->clearFaults();
        m_hub->stallPath(u"manager/flow/flow/"_s);
        m_hub->failPath(u"manager/flow/advancedflow/"_s, 500);
        HomeyClient slow({m_hub->baseURL(), u"h"_s, std::nullopt}, u"secret"_s, {}, {10s, 10s, 4});
        QCOMPARE(failureOf(slow.flows()), HomeyError::http(500, u"/api/manager/flow/advancedflow/"_s));

        m_hub->clearFaults();
        QJsonObject home = m_hub->home();
        home.remove(u"advancedFlows"_s);
        m_hub->setHome(home);
        QCOMPARE(awaitTask(client()->flows()).size(), 1);
    }

    void callerCancellation()
    {
        m_hub->stallPath(u"manager/zones/zone/"_s);
        HomeyClient c({m_hub->baseURL(), u"h"_s, std::nullopt}, u"secret"_s, {}, {10s, 10s, 4});
        CancelToken token;
        auto task = c.zones(token);
        QVERIFY(waitForRequests(*m_hub, 1));
        token.cancel();
        QVERIFY(cancelled(std::move(task)));

        CancelToken early;
        early.cancel();
        QVERIFY(cancelled(c.devices(early)));
        QVERIFY(cancelled(c.setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true), early)));
        QCOMPARE(m_hub->requests().size(), 1);

        CancelToken flowsToken;
        m_hub->stallPath(u"manager/flow/*"_s);
        auto flows = c.flows(flowsToken);
        QVERIFY(waitForRequests(*m_hub, 3));
        flowsToken.cancel();
        QVERIFY(cancelled(std::move(flows)));
    }

    void atMostFourInFlight()
    {
        m_hub->stallPath(u"manager/*"_s);
        HomeyClient c({m_hub->baseURL(), u"h"_s, std::nullopt}, u"secret"_s, {}, {10s, 10s, 4});
        CancelToken token;
        std::vector<QCoro::Task<QList<Zone>>> tasks;
        for (int i = 0; i < 6; ++i)
            tasks.push_back(c.zones(token));
        QVERIFY(waitForRequests(*m_hub, 4));
        QTest::qWait(200);
        QCOMPARE(m_hub->requests().size(), 4);
        token.cancel();
        for (auto &task : tasks)
            QVERIFY(cancelled(std::move(task)));
        QTest::qWait(50);
        // The queued two were cancelled before they were sent.
        QCOMPARE(m_hub->requests().size(), 4);
    }

    void freedSlotsServeTheQueue()
    {
        auto c = std::make_unique<HomeyClient>(HomeyEndpoint{m_hub->baseURL(), u"h"_s, std::nullopt},
                                               u"secret"_s, nullptr, HomeyClient::Options{10s, 10s, 2});
        std::vector<QCoro::Task<QList<Mood>>> tasks;
        for (int i = 0; i < 5; ++i)
            tasks.push_back(c->moods());
        for (auto &task : tasks)
            QCOMPARE(awaitTask(std::move(task)).size(), 2);
        QCOMPARE(m_hub->requests().size(), 5);
    }

    void deletingTheClientReleasesWaiters()
    {
        m_hub->stallPath(u"manager/*"_s);
        auto c = std::make_unique<HomeyClient>(HomeyEndpoint{m_hub->baseURL(), u"h"_s, std::nullopt},
                                               u"secret"_s, nullptr, HomeyClient::Options{10s, 10s, 1});
        auto inFlight = c->zones();
        auto queued = c->devices();
        QVERIFY(waitForRequests(*m_hub, 1));
        c.reset();
        QVERIFY(cancelled(std::move(inFlight)));
        QVERIFY(cancelled(std::move(queued)));
    }

    void dryRun()
    {
        HomeyClient::setDryRunForTesting(true);
        auto c = client();
        awaitTask(c->startFlow(u"a1"_s, true));
        awaitTask(c->setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true)));
        QCOMPARE(awaitTask(c->moods()).size(), 2); // reads still go out
        Log::shared().flush();

        QCOMPARE(m_hub->requests().size(), 1);
        QCOMPARE(m_hub->requests()[0].method, "GET");
        QCOMPARE(m_realtime->registered.size(), 1);

        QFile file(Log::fileURL());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(file.readAll());
        QVERIFY2(log.contains(
                     u"  DRY-RUN: POST /api/manager/flow/advancedflow/a1/trigger -  -> NIET verstuurd\n"_s),
                 qPrintable(log));
        QVERIFY(log.contains(u"  DRY-RUN: PUT /api/manager/devices/device/d1/capability/onoff "
                             "{\"value\":true,\"transactionId\":\""_s +
                             m_realtime->registered[0] + u"\"}  -> NIET verstuurd\n"_s));
    }
};

QTEST_GUILESS_MAIN(TestHomeyClient)
#include "tst_homeyclient.moc"
