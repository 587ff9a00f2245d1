#include "awaittask.h"
#include "base/async/cancelled.h"
#include "fakehub/fakehub.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/homeyclient.h"
#include "logcapture.h"

#include <QJsonDocument>
#include <QTcpServer>
#include <QtTest>
#include <vector>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

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

const HomeyTransport::Options quick{200ms, 400ms, 4};
const HomeyTransport::Options patient{10s, 10s, 4};

template <class T> HomeyError failureOf(QCoro::Task<T> task)
{
    return awaitFailure<HomeyError>(std::move(task)).value_or(HomeyError::socket(u"no HomeyError"_s));
}

template <class T> bool cancelled(QCoro::Task<T> task)
{
    return awaitFailure<Cancelled>(std::move(task)).has_value();
}

} // namespace

class TestHomeyClient : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHub> m_hub;
    std::shared_ptr<RecordingRealtime> m_realtime;

    std::unique_ptr<HomeyClient> client(HomeyClient::Options options = {quick},
                                        const QString &token = u"secret"_s)
    {
        return std::make_unique<HomeyClient>(HomeyEndpoint{m_hub->baseURL(), u"hub"_s, std::nullopt}, token,
                                             m_realtime, options);
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        QVERIFY(m_hub->listen());
        QString error;
        QVERIFY2(m_hub->loadHome(FakeHub::smallHomePath(), &error), qPrintable(error));
        m_realtime = std::make_shared<RecordingRealtime>(*m_hub);
    }

    void cleanup()
    {
        m_realtime.reset();
        m_hub.reset();
    }

    void reads()
    {
        auto c = client();
        const QList<Zone> zones = awaitTask(c->zones());
        QCOMPARE(zones.size(), 2);
        QCOMPARE(zones[0].name, u"Hal"_s);
        const QList<Device> devices = awaitTask(c->devices());
        QCOMPARE(devices.size(), 2); // the malformed device is skipped
        QCOMPARE(devices[1].capabilities.at(u"dim"_s).value, CapabilityValue::fromNumber(0.5));
        const QList<Flow> flows = awaitTask(c->flows());
        QCOMPARE(flows.size(), 2);
        QVERIFY(flows[0].isAdvanced);
        QCOMPARE(awaitTask(c->moods()).size(), 2);
        QCOMPARE(awaitTask(c->favorites()), (Favorites{{u"d2"_s, u"d1"_s}, {}, {u"m1"_s}}));
        QCOMPARE(awaitTask(c->energy()), (EnergyState{150, 100, 50}));
        QCOMPARE(awaitTask(c->notifications()).size(), 3);

        // Every read is a plain GET with the token and the JSON accept header, under /api/.
        for (const FakeRequest &request : m_hub->requests()) {
            QCOMPARE(request.method, "GET");
            QCOMPARE(request.header("Authorization"), "Bearer secret");
            QCOMPARE(request.header("Accept"), "application/json");
            QVERIFY(!request.hasHeader("Content-Type"));
        }
        QCOMPARE(m_hub->requests().size(), 8);
        QVERIFY(m_hub->unknownRequests().isEmpty());
    }

    void systemKeepsItsCPUSample()
    {
        auto c = client();
        const SystemState first = awaitTask(c->system());
        QCOMPARE(first.memoryPercent, 75.0);
        QVERIFY(!first.cpuPercent);

        // A failed read leaves the sample alone: the next good one compares with the last good one.
        QJsonObject home = m_hub->home();
        home[u"system"_s] =
            QJsonDocument::fromJson("{\"totalmem\":1000,\"freemem\":250,\"cpus\":[{\"times\":"
                                    "{\"user\":130,\"nice\":0,\"sys\":0,\"idle\":170,\"irq\":0}}]}")
                .object();
        m_hub->failPath(u"manager/system/"_s, 500);
        failureOf(c->system());
        m_hub->clearFaults();
        m_hub->setHome(home);
        QCOMPARE(awaitTask(c->system()).cpuPercent, 30.0);
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
        QCOMPARE(requests[0].body, "{\"value\":0.25,\"transactionId\":\"" + first.toLatin1() + "\"}");
        QCOMPARE(requests[1].body,
                 "{\"value\":false,\"transactionId\":\"" + m_realtime->registered[1].toLatin1() + "\"}");
        const QByteArrayList posts{"/api/manager/flow/flow/f1/trigger",
                                   "/api/manager/flow/advancedflow/a1/trigger",
                                   "/api/manager/moods/mood/m1/set"};
        for (qsizetype i = 0; i < posts.size(); ++i) {
            const FakeRequest &request = requests[2 + i];
            QCOMPARE(request.target, posts[i]);
            QCOMPARE(request.method, "POST");
            QVERIFY(request.body.isEmpty());
            QVERIFY(!request.hasHeader("Content-Type"));
        }
        for (const FakeRequest &request : requests) {
            QCOMPARE(request.header("Authorization"), "Bearer secret");
            QCOMPARE(request.header("Accept"), "application/json");
        }
    }

    void writeReachesTheHubAtMostOnce()
    {
        // The hub reads each write and closes the link without an answer; Qt would send it once more.
        m_hub->closePath(u"manager/*"_s);
        const std::function<QCoro::Task<>(HomeyClient &)> writes[] = {
            [](HomeyClient &c) {
                return c.setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true));
            },
            [](HomeyClient &c) { return c.startFlow(u"f1"_s, false); },
            [](HomeyClient &c) { return c.setMood(u"m1"_s); }};
        for (const auto &write : writes) {
            m_hub->clearRequests();
            auto c = client();
            QCOMPARE(failureOf(write(*c)), HomeyError::unreachable(u"127.0.0.1"_s));
            QTest::qWait(50);
            QCOMPARE(m_hub->requests().size(), 1);
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
        awaitFailure<HomeyError>(c->setCapability(u"dev"_s, id, CapabilityValue::fromBool(true)));
        awaitFailure<HomeyError>(c->setMood(id));
        const QList<FakeRequest> requests = m_hub->requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].target, "/api/manager/devices/device/dev/capability/" + segment);
        QCOMPARE(requests[1].target, "/api/manager/moods/mood/" + segment + "/set");
    }

    void refusedBeforeSending()
    {
        auto c = client();
        for (const QString &id : {QString(), u"."_s, u".."_s}) {
            QCOMPARE(failureOf(c->setCapability(id, u"onoff"_s, CapabilityValue::fromBool(true))).kind(),
                     HomeyError::Kind::decoding);
            QCOMPARE(failureOf(c->setCapability(u"d1"_s, id, CapabilityValue::fromBool(true))).kind(),
                     HomeyError::Kind::decoding);
            QCOMPARE(failureOf(c->startFlow(id, true)).text(),
                     u"manager/flow/advancedflow/"_s + id + u"/trigger: kon het verzoek niet opbouwen"_s);
            QCOMPARE(failureOf(c->setMood(id)).kind(), HomeyError::Kind::decoding);
        }
        // A number JSON cannot carry is refused the same way.
        QCOMPARE(failureOf(c->setCapability(u"d1"_s, u"dim"_s, CapabilityValue::fromNumber(qQNaN()))).text(),
                 u"manager/devices/device/d1/capability/dim: kon het verzoek niet opbouwen"_s);
        QVERIFY(m_hub->requests().isEmpty());
        QVERIFY(m_realtime->registered.isEmpty());
    }

    void tokenWithControlCharactersNeverSent()
    {
        for (const QString &token : {u"secret\r\nX-Evil: 1"_s, u"secret\n"_s, u"a\u0000b"_s, u"a\u007fb"_s}) {
            auto c = client({quick}, token);
            QCOMPARE(failureOf(c->zones()), HomeyError::unauthorized());
            QCOMPARE(failureOf(c->setMood(u"m1"_s)), HomeyError::unauthorized());
        }
        QVERIFY(m_hub->requests().isEmpty());

        // The empty token is sent as it is.
        failureOf(client({quick}, QString())->zones());
        QCOMPARE(m_hub->requests().size(), 1);
        QVERIFY(m_hub->requests()[0].rawHead.contains("\r\nAuthorization: Bearer \r\n"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<HomeyError>("expected");
        const QString zones = u"/api/manager/zones/zone/"_s;
        const HomeyError unreachable = HomeyError::unreachable(u"127.0.0.1"_s);
        QTest::newRow("wrong token") << u"token"_s << 0 << HomeyError::unauthorized();
        QTest::newRow("403") << u"status"_s << 403 << HomeyError::unauthorized();
        QTest::newRow("402") << u"status"_s << 402 << HomeyError::http(402, zones);
        QTest::newRow("404") << u"status"_s << 404 << HomeyError::http(404, zones);
        QTest::newRow("500") << u"status"_s << 500 << HomeyError::http(500, zones);
        QTest::newRow("redirect not followed") << u"redirect"_s << 0 << HomeyError::http(302, zones);
        QTest::newRow("not JSON") << u"malformed"_s << 0 << HomeyError::decoding(u"manager/zones/zone/: "_s);
        QTest::newRow("array") << u"array"_s << 0
                               << HomeyError::decoding(u"manager/zones/zone/: expected object, found list"_s);
        QTest::newRow("connection dropped") << u"close"_s << 0 << unreachable;
        QTest::newRow("cut off mid-body") << u"cut"_s << 0 << unreachable;
        QTest::newRow("stalled") << u"stall"_s << 0 << unreachable;
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
        else if (fault == u"malformed" || fault == u"array")
            m_hub->malformPath(path, fault == u"array" ? "[]" : "{\"a\":");
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
        // The redirect was not followed. (A read may be sent again when the link drops before an answer.)
        if (fault != u"close")
            QCOMPARE(m_hub->requests().size(), 1);
    }

    void unreachableHosts()
    {
        QTcpServer closed; // a port nobody listens on
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QUrl refusing(u"http://127.0.0.1:%1"_s.arg(closed.serverPort()));
        closed.close();
        QCOMPARE(failureOf(HomeyClient({refusing, u"h"_s, std::nullopt}, u"t"_s, {}, {quick}).zones()),
                 HomeyError::unreachable(u"127.0.0.1"_s));
        QCOMPARE(
            failureOf(
                HomeyClient({QUrl(u"http:/nohost"_s), u"h"_s, std::nullopt}, u"t"_s, {}, {quick}).zones()),
            HomeyError::unreachable(u"je Homey"_s));
    }

    void advancedFlowsFailing()
    {
        m_hub->failPath(u"manager/flow/advancedflow/"_s, 500);
        QCOMPARE(failureOf(client()->flows()), HomeyError::http(500, u"/api/manager/flow/advancedflow/"_s));
        // Both failing: the standard list's error is the one reported.
        m_hub->failPath(u"manager/flow/flow/"_s, 404);
        QCOMPARE(failureOf(client()->flows()), HomeyError::http(404, u"/api/manager/flow/flow/"_s));
        // A stalled standard list is stopped as soon as the advanced one fails.
        m_hub->stallPath(u"manager/flow/flow/"_s);
        QCOMPARE(failureOf(client({patient})->flows()),
                 HomeyError::http(500, u"/api/manager/flow/advancedflow/"_s));
    }

    void callerCancellation()
    {
        m_hub->stallPath(u"manager/*"_s);
        auto c = client({patient});
        CancelToken token;
        auto zones = c->zones(token);
        auto flows = c->flows(token);
        QVERIFY(m_hub->waitForRequests(3));
        token.cancel();
        QVERIFY(cancelled(std::move(zones)));
        QVERIFY(cancelled(std::move(flows)));

        CancelToken early;
        early.cancel();
        QVERIFY(cancelled(c->devices(early)));
        QVERIFY(cancelled(c->setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true), early)));
        QCOMPARE(m_hub->requests().size(), 3);
    }

    void atMostFourOnTheWire()
    {
        m_hub->stallPath(u"manager/*"_s);
        auto c = client({patient});
        CancelToken token;
        std::vector<QCoro::Task<QList<Zone>>> tasks;
        for (int i = 0; i < 6; ++i)
            tasks.push_back(c->zones(token));
        QVERIFY(m_hub->waitForRequests(4));
        QVERIFY(!m_hub->waitForRequests(5, 200));
        token.cancel();
        for (auto &task : tasks)
            QVERIFY(cancelled(std::move(task)));
        QTest::qWait(50);
        QCOMPARE(m_hub->requests().size(), 4); // the queued two were never sent
    }

    void deletingTheClientCancelsWhatWaits()
    {
        // One request at a time: a stalled one on the wire, one queued behind it.
        m_hub->stallPath(u"manager/devices/*"_s);
        auto c = client({{10s, 10s, 1}});
        auto onTheWire = c->devices();
        auto queued = c->zones();
        QVERIFY(m_hub->waitForRequests(1));
        c.reset();
        QVERIFY(cancelled(std::move(onTheWire)));
        QVERIFY(cancelled(std::move(queued)));

        // The slot of a queued request is granted when the first one ends, and deleting the client
        // before it resumes still cancels it.
        m_hub->clearRequests();
        c = client({{10s, 10s, 1}});
        auto first = c->moods();
        auto next = c->zones();
        QCOMPARE(awaitTask(std::move(first)).size(), 2);
        c.reset();
        QVERIFY(cancelled(std::move(next)));
        QTest::qWait(50);
        QCOMPARE(m_hub->requests().size(), 1);
    }

    void dryRunLogsWritesInsteadOfSending()
    {
        LogCapture log;
        auto c = client({quick, true});
        awaitTask(c->startFlow(u"a1"_s, true));
        awaitTask(c->setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true)));
        QCOMPARE(awaitTask(c->moods()).size(), 2); // reads still go out

        QCOMPARE(m_hub->requests().size(), 1);
        QCOMPARE(m_realtime->registered.size(), 1);
        QCOMPARE(
            log.matching(u"DRY-RUN"_s),
            (QStringList{u"DRY-RUN: POST /api/manager/flow/advancedflow/a1/trigger -  -> NIET verstuurd"_s,
                         u"DRY-RUN: PUT /api/manager/devices/device/d1/capability/onoff "
                         "{\"value\":true,\"transactionId\":\""_s +
                             m_realtime->registered[0] + u"\"}  -> NIET verstuurd"_s}));
    }
};

QTEST_GUILESS_MAIN(TestHomeyClient)
#include "tst_homeyclient.moc"
