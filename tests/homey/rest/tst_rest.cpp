#include "awaittask.h"
#include "base/async/cancelled.h"
#include "fakehub/fakehub.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/cpusampler.h"
#include "homey/rest/homeyclient.h"
#include "homey/rest/homeyreads.h"
#include "logcapture.h"

#include <QtTest>
#include <vector>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Records each registration with the number of requests the hub had seen at that moment.
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

QByteArray js(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

QStringList fields(const auto &values, auto member)
{
    QStringList result;
    for (const auto &value : values)
        result.append(value.*member);
    return result;
}

RawSystem::CPU cpu(qint64 user, qint64 idle)
{
    return {{user, 0, 0, idle, 0}};
}

} // namespace

// The REST client against the fake hub, and what it makes of the answers.
class TestRest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHub> m_hub;
    std::shared_ptr<RecordingRealtime> m_realtime;

    // Through the interface, as the store holds it: the defaults of its calls are declared there.
    std::unique_ptr<HomeyRESTClient> client(HomeyClient::Options options = {quick},
                                            const QString &token = u"secret"_s,
                                            std::optional<QUrl> url = std::nullopt)
    {
        return std::make_unique<HomeyClient>(
            HomeyEndpoint{url.value_or(m_hub->baseURL()), u"hub"_s, std::nullopt}, token, m_realtime,
            options);
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        QVERIFY(m_hub->listen());
        QVERIFY(m_hub->loadHome(FakeHub::smallHomePath()));
        m_realtime = std::make_shared<RecordingRealtime>(*m_hub);
    }

    void reads()
    {
        auto c = client();
        const QList<Device> devices = awaitTask(c->devices());
        QCOMPARE(devices.size(), 2); // the malformed device is skipped, the unavailable one kept
        QCOMPARE(devices[1].capabilities.at(u"dim"_s).value,
                 CapabilityValue::fromNumber(0.5)); // "Lamp", "lamp"
        QCOMPARE(awaitTask(c->zones()).size(), 2);
        QCOMPARE(awaitTask(c->flows()).size(), 2);
        QCOMPARE(awaitTask(c->moods()).size(), 2);
        QCOMPARE(awaitTask(c->favorites()), (Favorites{{u"d2"_s, u"d1"_s}, {}, {u"m1"_s}}));
        QCOMPARE(awaitTask(c->energy()), (EnergyState{150, 100, 50}));
        QCOMPARE(awaitTask(c->notifications()).size(), 3);
        QCOMPARE(awaitTask(c->system()).memoryPercent, 75.0);
        // Every read is a plain GET of a path the hub knows, with the token and the JSON accept header.
        QCOMPARE(m_hub->requests().size(), 9);
        QVERIFY(m_hub->unknownRequests().isEmpty());
        for (const FakeRequest &request : m_hub->requests())
            QCOMPARE(request.method + ", " + request.header("Authorization") + ", " +
                         request.header("Accept"),
                     "GET, Bearer secret, application/json");
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
        const QStringList ids = m_realtime->registered;
        QCOMPARE(ids.size(), 2);
        QVERIFY(ids[0].startsWith(u"quorvane-"_s) && ids[0].mid(9) == ids[0].mid(9).toUpper());
        QVERIFY(!QUuid::fromString(ids[0].mid(9)).isNull() && ids[0].size() == 45);
        QVERIFY(ids[1] != ids[0]);
        QCOMPARE(m_realtime->requestsSeen, (QList<qsizetype>{0, 1})); // registered before the request left

        QCOMPARE(requests[0].method + ' ' + requests[0].target,
                 "PUT /api/manager/devices/device/d1/capability/dim");
        QCOMPARE(requests[0].header("Content-Type"), "application/json");
        QCOMPARE(requests[0].body, "{\"value\":0.25,\"transactionId\":\"" + ids[0].toLatin1() + "\"}");
        QCOMPARE(requests[1].body, "{\"value\":false,\"transactionId\":\"" + ids[1].toLatin1() + "\"}");
        const QByteArrayList posts{"/api/manager/flow/flow/f1/trigger",
                                   "/api/manager/flow/advancedflow/a1/trigger",
                                   "/api/manager/moods/mood/m1/set"};
        for (qsizetype i = 0; i < posts.size(); ++i) {
            QCOMPARE(requests[2 + i].method + ' ' + requests[2 + i].target, "POST " + posts[i]);
            QVERIFY(requests[2 + i].body.isEmpty() && !requests[2 + i].hasHeader("Content-Type"));
            QCOMPARE(requests[2 + i].header("Authorization"), "Bearer secret");
        }
    }

    void writeReachesTheHubAtMostOnce()
    {
        // The hub reads each write and closes the link without an answer; Qt would send it once more.
        m_hub->closePath(u"manager/*"_s);
        const std::function<QCoro::Task<>(HomeyRESTClient &)> writes[] = {
            [](HomeyRESTClient &c) {
                return c.setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true));
            },
            [](HomeyRESTClient &c) { return c.startFlow(u"f1"_s, false); },
            [](HomeyRESTClient &c) { return c.setMood(u"m1"_s); }};
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
        QTest::addColumn<QByteArray>("segment"); // null: refused before anything is sent
        QTest::newRow("sub-capability") << u"onoff.output2"_s << QByteArray("onoff.output2");
        QTest::newRow("slash") << u"a/b"_s << QByteArray("a%2Fb");
        QTest::newRow("space, hash, query") << u"a b#c?d=%"_s << QByteArray("a%20b%23c%3Fd=%25");
        QTest::newRow("non-ASCII") << u"é"_s << QByteArray("%C3%A9");
        QTest::newRow("dots inside") << u"..."_s << QByteArray("...");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("dot") << u"."_s << QByteArray();
        QTest::newRow("dot dot") << u".."_s << QByteArray();
    }
    void idsAreOnePathSegment()
    {
        QFETCH(QString, id);
        QFETCH(QByteArray, segment);
        auto c = client();
        const HomeyError capability =
            failureOf(c->setCapability(u"dev"_s, id, CapabilityValue::fromBool(true)));
        const HomeyError mood = failureOf(c->setMood(id));
        if (segment.isNull()) {
            QCOMPARE(capability.kind(), HomeyError::Kind::decoding);
            QCOMPARE(failureOf(c->setCapability(id, u"onoff"_s, CapabilityValue::fromBool(true))).kind(),
                     HomeyError::Kind::decoding);
            QCOMPARE(failureOf(c->startFlow(id, true)).text(),
                     u"manager/flow/advancedflow/"_s + id + u"/trigger: kon het verzoek niet opbouwen"_s);
            QCOMPARE(mood.kind(), HomeyError::Kind::decoding);
            QVERIFY(m_hub->requests().isEmpty() && m_realtime->registered.isEmpty());
            return;
        }
        // The fake may not know the id; only what reached it counts.
        QCOMPARE(m_hub->requests().value(0).target, "/api/manager/devices/device/dev/capability/" + segment);
        QCOMPARE(m_hub->requests().value(1).target, "/api/manager/moods/mood/" + segment + "/set");
    }

    void numberJSONCannotCarryIsRefused()
    {
        QCOMPARE(
            failureOf(client()->setCapability(u"d1"_s, u"dim"_s, CapabilityValue::fromNumber(qInf()))).text(),
            u"manager/devices/device/d1/capability/dim: kon het verzoek niet opbouwen"_s);
        QVERIFY(m_hub->requests().isEmpty());
    }

    void tokenWithControlCharactersNeverSent()
    {
        for (const QString &token : {u"secret\r\nX-Evil: 1"_s, u"a\u0000b"_s, u"a\u007fb"_s}) {
            QCOMPARE(failureOf(client({quick}, token)->zones()), HomeyError::unauthorized());
            QCOMPARE(failureOf(client({quick}, token)->setMood(u"m1"_s)), HomeyError::unauthorized());
        }
        QVERIFY(m_hub->requests().isEmpty());
        failureOf(client({quick}, QString())->zones()); // the empty token is sent as it is
        QVERIFY(m_hub->requests().value(0).rawHead.contains("\r\nAuthorization: Bearer \r\n"));
    }

    void failures_data()
    {
        // What the hub answers for the zones, as raw bytes before it closes the link; "" closes at once,
        // "stall" never answers, "token" is the hub refusing a token it does not know, "nohost" a base URL
        // without a host.
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<HomeyError>("expected");
        const QString zones = u"/api/manager/zones/zone/"_s;
        const HomeyError unreachable = HomeyError::unreachable(u"127.0.0.1"_s);
        const auto head = [](const char *status) { return "HTTP/1.1 " + QByteArray(status) + "\r\n"; };
        const auto empty = [&](const char *status) { return head(status) + "Content-Length: 0\r\n\r\n"; };
        QTest::newRow("wrong token") << QByteArray("token") << HomeyError::unauthorized();
        QTest::newRow("403") << empty("403 Forbidden") << HomeyError::unauthorized();
        QTest::newRow("402") << empty("402 Payment Required") << HomeyError::http(402, zones);
        QTest::newRow("500") << empty("500 Oops") << HomeyError::http(500, zones);
        QTest::newRow("redirect not followed") << head("302 Found") + "Location: /api/manager/moods/mood/\r\n"
                                                                      "Content-Length: 0\r\n\r\n"
                                               << HomeyError::http(302, zones);
        QTest::newRow("not JSON") << head("200 OK") + "Content-Length: 5\r\n\r\n{\"a\":"
                                  << HomeyError::decoding(u"manager/zones/zone/: "_s);
        QTest::newRow("array") << head("200 OK") + "Content-Length: 2\r\n\r\n[]"
                               << HomeyError::decoding(u"manager/zones/zone/: expected object, found list"_s);
        QTest::newRow("cut off mid-body")
            << head("200 OK") + "Content-Length: 100\r\n\r\n{\"z\":" << unreachable;
        QTest::newRow("connection dropped") << QByteArray("") << unreachable;
        QTest::newRow("stalled") << QByteArray("stall") << unreachable;
        QTest::newRow("no host in the URL") << QByteArray("nohost") << HomeyError::unreachable(u"je Homey"_s);
    }
    void failures()
    {
        QFETCH(QByteArray, answer);
        QFETCH(HomeyError, expected);
        if (answer == "token")
            m_hub->setToken(u"other"_s);
        else if (answer == "stall")
            m_hub->stallPath(u"manager/zones/zone/"_s);
        else
            m_hub->rawResponsePath(u"manager/zones/zone/"_s, answer);
        const QUrl url = answer == "nohost" ? QUrl(u"http:/nohost"_s) : m_hub->baseURL();
        const HomeyError error = failureOf(client({quick}, u"secret"_s, url)->zones());
        if (expected.kind() == HomeyError::Kind::decoding)
            QVERIFY2(error.text().startsWith(expected.text()), qPrintable(error.text()));
        else
            QCOMPARE(error, expected);
        QVERIFY(m_hub->unknownRequests().isEmpty()); // the redirect was not followed
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

    void cancellationAndAtMostFourOnTheWire()
    {
        m_hub->stallPath(u"manager/*"_s);
        auto c = client({patient});
        CancelToken token;
        auto flows = c->flows(token); // two requests
        std::vector<QCoro::Task<QList<Zone>>> zones;
        for (int i = 0; i < 4; ++i)
            zones.push_back(c->zones(token));
        QVERIFY(m_hub->waitForRequests(4));
        QVERIFY(!m_hub->waitForRequests(5, 200));
        token.cancel();
        QVERIFY(cancelled(std::move(flows)));
        for (auto &task : zones)
            QVERIFY(cancelled(std::move(task)));
        CancelToken early;
        early.cancel();
        QVERIFY(cancelled(c->devices(early)));
        QVERIFY(cancelled(c->setCapability(u"d1"_s, u"onoff"_s, CapabilityValue::fromBool(true), early)));
        QTest::qWait(50);
        QCOMPARE(m_hub->requests().size(), 4); // nothing queued or cancelled early was sent
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

        // When the first request ends the next one is granted its slot, and still cancelled if the client
        // goes before it resumes. A write: its answer is not decoded on a worker thread, so nothing lets
        // the event loop run between the end of the first and the reset.
        m_hub->clearRequests();
        c = client({{10s, 10s, 1}});
        auto first = c->setMood(u"m1"_s);
        auto next = c->zones();
        awaitTask(std::move(first));
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
                         u"DRY-RUN: PUT /api/manager/devices/device/d1/capability/onoff {\"value\":true,"
                         "\"transactionId\":\""_s +
                             m_realtime->registered[0] + u"\"}  -> NIET verstuurd"_s}));
    }

    void plainNameOrder()
    {
        // "e" + combining acute is the same name as "é" once composed; capitals sort first; equal names
        // keep their collected order.
        const auto zones = HomeyReads::zones(HomeyReads::collection<RawZone>(
            js("{'1':{'id':'1','name':'b'},'2':{'id':'2','name':'B'},'3':{'id':'3','name':'e\\u0301'},"
               "'4':{'id':'4','name':'\\u00e9a'},'5':{'id':'5','name':'a'},'6':{'id':'6','name':'b'}}"),
            u"manager/zones/zone/"_s));
        QCOMPARE(fields(zones, &Zone::id), (QStringList{u"2"_s, u"5"_s, u"1"_s, u"6"_s, u"3"_s, u"4"_s}));
    }

    void flows()
    {
        const QList<RawFlow> standard{
            {u"s1"_s, u"banaan"_s, u"f"_s, std::nullopt, std::nullopt, true},
            {u"s2"_s, u"Appel"_s, std::nullopt, true, true, true},            // broken
            {u"s3"_s, u"citroen"_s, std::nullopt, true, false, std::nullopt}, // not triggerable
            {u"s4"_s, u"Banaan"_s, std::nullopt, false, false, true},         // disabled
            {u"s5"_s, u"Ëlan"_s, std::nullopt, true, false, true},
            {u"s6"_s, u"appel"_s, std::nullopt, true, false, true},
        };
        const QList<RawFlow> advanced{
            {u"a1"_s, u"APPEL"_s, std::nullopt, true, false, true},
            {u"a2"_s, u"Zebra"_s, std::nullopt, true, false, true},
        };
        const QList<Flow> flows = HomeyReads::flows(standard, advanced);
        // Case-insensitive Dutch order; equal names keep standard before advanced.
        QCOMPARE(fields(flows, &Flow::id), (QStringList{u"s6"_s, u"a1"_s, u"s1"_s, u"s5"_s, u"a2"_s}));
        QVERIFY(flows[1].isAdvanced && !flows[0].isAdvanced);
        QCOMPARE(flows[2].folderID, u"f"_s);
    }

    void energy()
    {
        const auto energy = [](const char *json) {
            return HomeyReads::energy(HomeyReads::document<RawEnergyLive>(js(json), u"e"_s));
        };
        // Halves round away from zero; without a grid meter the consumption is the hub's own total.
        QCOMPARE(
            energy("{'totalConsumed':{'W':45.5},'totalGenerated':{'W':2.5},'totalCumulative':{'W':-2.5}}"),
            (EnergyState{46, 3, -3}));
        QCOMPARE(
            energy("{'totalConsumed':{'W':999},'totalGenerated':{'W':120.4},'totalCumulative':{'W':-30.5},"
                   "'items':[{},{'type':'cumulative'}]}"),
            (EnergyState{90, 120, -31}));
        QCOMPARE(energy("{'totalConsumed':{'W':10},'items':[{'type':'Cumulative'}]}"),
                 (EnergyState{10, 0, 0}));
    }

    void memoryShare()
    {
        const auto memory = [](qint64 total, qint64 free) {
            return HomeyReads::system({std::nullopt, total, free, std::nullopt, std::nullopt}, std::nullopt)
                .memoryPercent;
        };
        QCOMPARE(memory(0, 0), std::nullopt);
        QCOMPARE(memory(200, 50), 75.0);
        QCOMPARE(memory(100, 150), -50.0); // not clamped
    }

    void notificationsNewestFirst()
    {
        const auto notes = HomeyReads::notifications(HomeyReads::collection<RawTimelineItem>(
            js("{'a':{'id':'a'},'b':{'id':'b','dateCreated':'2024-05-01T10:00:00.000Z'},"
               "'c':{'id':'c','dateCreated':'2024-05-02T10:00:00.000Z'},'d':{'id':'d','dateCreated':'nooit'}"
               "}"),
            u"n"_s));
        const QStringList ids = fields(notes, &RawNotification::id);
        QCOMPARE(ids.mid(0, 2), (QStringList{u"c"_s, u"b"_s}));
        QCOMPARE(QSet<QString>(ids.begin() + 2, ids.end()), (QSet<QString>{u"a"_s, u"d"_s}));
    }

    void cpuSampler()
    {
        CPUSampler sampler;
        QCOMPARE(sampler.percent({cpu(100, 100), cpu(100, 100)}), std::nullopt);
        QCOMPARE(sampler.percent({cpu(130, 170), cpu(110, 190)}), 20.0);         // busy 40 of 200
        QCOMPARE(sampler.percent({cpu(130, 170), cpu(110, 190)}), std::nullopt); // no time passed
        QCOMPARE(sampler.percent({cpu(1, 1)}), std::nullopt);                    // CPU count changed
        QCOMPARE(sampler.percent({cpu(11, 1)}), 100.0);
        QCOMPARE(sampler.percent({}), std::nullopt);
        // Counters that ran backwards, or absurd ones, never escape 0...100 or overflow.
        QCOMPARE(sampler.percent({cpu(std::numeric_limits<qint64>::max(), 0)}), std::nullopt);
        const auto wrapped = sampler.percent({cpu(std::numeric_limits<qint64>::min(), 5)});
        QVERIFY(!wrapped || (*wrapped >= 0 && *wrapped <= 100));
        sampler.percent({cpu(0, 10)});
        QCOMPARE(sampler.percent({cpu(0, 20)}), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestRest)
#include "tst_rest.moc"
