#include "fakehub/fakehub.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QByteArray token = "tok-123:abc";

struct Answer {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0; // 0 when no HTTP answer came
    QByteArray body;
    QByteArray location;
};

QJsonObject capability(const QJsonValue &value)
{
    return {{u"id"_s, u"onoff"_s}, {u"type"_s, u"boolean"_s}, {u"setable"_s, true}, {u"value"_s, value}};
}

QJsonObject device(const QString &id, const QJsonObject &capabilities)
{
    return {{u"id"_s, id},
            {u"name"_s, u"Lamp "_s + id},
            {u"class"_s, u"light"_s},
            {u"capabilities"_s, QJsonArray::fromStringList(capabilities.keys())},
            {u"capabilitiesObj"_s, capabilities}};
}

QJsonObject smallHome()
{
    QJsonObject devices{
        {u"d1"_s, device(u"d1"_s, {{u"onoff"_s, capability(false)}, {u"dim"_s, capability(0.5)}})},
        {u"a/b"_s, device(u"a/b"_s, {{u"onoff"_s, capability(true)}})}};
    return {
        {u"token"_s, QString::fromUtf8(token)},
        {u"zones"_s, QJsonObject{{u"z1"_s, QJsonObject{{u"id"_s, u"z1"_s}, {u"name"_s, u"Huis"_s}}}}},
        {u"devices"_s, devices},
        {u"flows"_s, QJsonObject{{u"f1"_s, QJsonObject{{u"id"_s, u"f1"_s}, {u"name"_s, u"Alles uit"_s}}}}},
        {u"advancedFlows"_s,
         QJsonObject{{u"af1"_s, QJsonObject{{u"id"_s, u"af1"_s}, {u"name"_s, u"Avond"_s}}}}},
        {u"moods"_s, QJsonObject{{u"m1"_s, QJsonObject{{u"id"_s, u"m1"_s}, {u"name"_s, u"Ontbijt"_s}}}}},
        {u"me"_s, QJsonObject{{u"id"_s, u"u1"_s},
                              {u"properties"_s, QJsonObject{{u"favoriteDevices"_s, QJsonArray{u"d1"_s}}}}}},
        {u"energy"_s, QJsonObject{{u"totalConsumed"_s, QJsonObject{{u"W"_s, 120}}}}},
        {u"system"_s, QJsonObject{{u"totalmem"_s, 1000}, {u"freemem"_s, 400}}},
        {u"notifications"_s,
         QJsonObject{{u"n1"_s, QJsonObject{{u"id"_s, u"n1"_s}, {u"excerpt"_s, u"Hoi"_s}}}}},
        {u"session"_s, QJsonObject{{u"id"_s, u"s1"_s}, {u"type"_s, u"pat"_s}, {u"userName"_s, u"Sanne"_s}}},
    };
}

QJsonObject parseObject(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

// Reads `count` complete responses (head and Content-Length body) off a raw socket. The hub runs
// on this thread, so the event loop must keep turning while we wait.
QList<QByteArray> readResponses(QTcpSocket &socket, int count)
{
    QByteArray buffer;
    QList<QByteArray> out;
    const bool complete = QTest::qWaitFor(
        [&] {
            buffer += socket.readAll();
            for (;;) {
                const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
                if (headEnd < 0)
                    break;
                const QByteArray head = buffer.left(headEnd);
                const qsizetype at = head.indexOf("Content-Length: ");
                const qsizetype length =
                    at < 0 ? 0 : head.mid(at + 16, head.indexOf("\r\n", at) - at - 16).toLongLong();
                if (buffer.size() < headEnd + 4 + length)
                    break;
                out.append(buffer.left(headEnd + 4 + length));
                buffer.remove(0, headEnd + 4 + length);
            }
            return out.size() >= count;
        },
        10000);
    Q_UNUSED(complete); // callers compare the count
    return out;
}
} // namespace

class TestFakeHub : public QObject {
    Q_OBJECT

private:
    FakeHub *hub = nullptr;
    QNetworkAccessManager *network = nullptr;

    Answer call(const QByteArray &method, const QString &path, const QByteArray &body = {},
                std::optional<QByteArray> bearer = token, int transferTimeoutMs = 0)
    {
        QNetworkRequest request(QUrl(hub->baseURL().toString() + u"/api/"_s + path, QUrl::StrictMode));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setRawHeader("Accept", "application/json");
        if (bearer)
            request.setRawHeader("Authorization", "Bearer " + *bearer);
        if (!body.isEmpty())
            request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
        if (transferTimeoutMs > 0)
            request.setTransferTimeout(transferTimeoutMs);
        QNetworkReply *reply = network->sendCustomRequest(request, method, body);
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        Answer answer;
        if (!reply->isFinished()) {
            reply->abort();
            answer.error = QNetworkReply::TimeoutError;
        } else {
            answer.error = reply->error();
        }
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->isOpen())
            answer.body = reply->readAll();
        answer.location = reply->rawHeader("Location");
        reply->deleteLater();
        return answer;
    }

private Q_SLOTS:
    void init()
    {
        hub = new FakeHub(this);
        hub->setHome(smallHome());
        QVERIFY(hub->listen());
        QVERIFY(hub->port() != 0);
        network = new QNetworkAccessManager(this);
    }

    void cleanup()
    {
        delete network;
        delete hub;
    }

    void servesEveryReadPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("member");
        QTest::newRow("zones") << u"manager/zones/zone/"_s << u"zones"_s;
        QTest::newRow("devices") << u"manager/devices/device/"_s << u"devices"_s;
        QTest::newRow("flows") << u"manager/flow/flow/"_s << u"flows"_s;
        QTest::newRow("advanced flows") << u"manager/flow/advancedflow/"_s << u"advancedFlows"_s;
        QTest::newRow("moods") << u"manager/moods/mood/"_s << u"moods"_s;
        QTest::newRow("user") << u"manager/users/user/me"_s << u"me"_s;
        QTest::newRow("energy") << u"manager/energy/live/"_s << u"energy"_s;
        QTest::newRow("system") << u"manager/system/"_s << u"system"_s;
        QTest::newRow("notifications") << u"manager/notifications/notification/"_s << u"notifications"_s;
        QTest::newRow("session") << u"manager/sessions/session/me"_s << u"session"_s;
    }

    void servesEveryReadPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, member);
        const Answer answer = call("GET", path);
        QCOMPARE(answer.status, 200);
        QCOMPARE(parseObject(answer.body), hub->home().value(member).toObject());
        QVERIFY(hub->unknownRequests().isEmpty());
    }

    void checksTheTokenExceptOnPing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<std::optional<QByteArray>>("bearer");
        QTest::addColumn<int>("status");
        QTest::newRow("right token") << u"manager/zones/zone/"_s << std::optional(token) << 200;
        QTest::newRow("wrong token") << u"manager/zones/zone/"_s << std::optional<QByteArray>("nope") << 401;
        QTest::newRow("token with a prefix") << u"manager/zones/zone/"_s << std::optional("x" + token) << 401;
        QTest::newRow("no token") << u"manager/devices/device/"_s << std::optional<QByteArray>() << 401;
        QTest::newRow("session, wrong token")
            << u"manager/sessions/session/me"_s << std::optional<QByteArray>("nope") << 401;
        QTest::newRow("ping without token") << u"manager/system/ping"_s << std::optional<QByteArray>() << 200;
        QTest::newRow("ping with wrong token")
            << u"manager/system/ping"_s << std::optional<QByteArray>("x") << 200;
    }

    void checksTheTokenExceptOnPing()
    {
        QFETCH(QString, path);
        QFETCH(std::optional<QByteArray>, bearer);
        QFETCH(int, status);
        QCOMPARE(call("GET", path, {}, bearer).status, status);
        hub->setToken(u"other"_s);
        if (path.endsWith(u"ping"))
            QCOMPARE(call("GET", path, {}, bearer).status, 200);
        else
            QCOMPARE(call("GET", path, {}, "other").status, 200);
    }

    void capabilityWriteChangesTheHomeAndIsRecorded()
    {
        QList<QStringList> changes;
        connect(hub, &FakeHub::capabilityChanged, this,
                [&](const QString &deviceID, const QString &capabilityID, const QJsonValue &value,
                    const QString &transactionID) {
                    changes.append({deviceID, capabilityID, value.toVariant().toString(), transactionID});
                });
        QSignalSpy received(hub, &FakeHub::requestReceived);
        const QByteArray body = R"({"value":0.25,"transactionId":"quorvane-ABC"})";
        const Answer answer = call("PUT", u"manager/devices/device/d1/capability/dim"_s, body);
        QCOMPARE(answer.status, 200);
        QCOMPARE(parseObject(answer.body), QJsonObject());

        const QJsonObject dim = hub->device(u"d1"_s)[u"capabilitiesObj"][u"dim"].toObject();
        QCOMPARE(dim[u"value"].toDouble(), 0.25);
        QVERIFY(QDateTime::fromString(dim[u"lastUpdated"].toString(), Qt::ISODateWithMs).isValid());
        QCOMPARE(changes, (QList<QStringList>{{u"d1"_s, u"dim"_s, u"0.25"_s, u"quorvane-ABC"_s}}));

        QCOMPARE(received.size(), 1);
        QCOMPARE(hub->requests().size(), 1);
        const FakeRequest request = hub->requests().first();
        QCOMPARE(request.method, "PUT");
        QCOMPARE(request.target, "/api/manager/devices/device/d1/capability/dim");
        QCOMPARE(request.body, body);
        QCOMPARE(request.header("authorization"), "Bearer " + token);
        QCOMPARE(request.header("Content-Type"), "application/json");
        QCOMPARE(request.header("Content-Length"), QByteArray::number(body.size()));
        QVERIFY(request.knownPath);
        QCOMPARE(received.first().first().value<FakeRequest>(), request);

        hub->clearRequests();
        QVERIFY(hub->requests().isEmpty());
    }

    void refusedWrites_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        const QByteArray value = R"({"value":true})";
        QTest::newRow("unknown device")
            << QByteArray("PUT") << u"manager/devices/device/zz/capability/onoff"_s << value << 404;
        QTest::newRow("unknown capability")
            << QByteArray("PUT") << u"manager/devices/device/d1/capability/xx"_s << value << 404;
        QTest::newRow("body without value")
            << QByteArray("PUT") << u"manager/devices/device/d1/capability/onoff"_s
            << QByteArray(R"({"transactionId":"t"})") << 400;
        QTest::newRow("body not json") << QByteArray("PUT") << u"manager/devices/device/d1/capability/onoff"_s
                                       << QByteArray("{oops") << 400;
        QTest::newRow("read method on write path")
            << QByteArray("GET") << u"manager/devices/device/d1/capability/onoff"_s << QByteArray() << 404;
    }

    void refusedWrites()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QSignalSpy changes(hub, &FakeHub::capabilityChanged);
        const QJsonObject before = hub->home();
        QCOMPARE(call(method, path, body).status, status);
        QCOMPARE(hub->home(), before);
        QCOMPARE(changes.size(), 0);
        QCOMPARE(hub->requests().size(), 1);
    }

    void triggersFlowsAndMoods_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::newRow("flow") << u"manager/flow/flow/f1/trigger"_s << 200;
        QTest::newRow("advanced flow") << u"manager/flow/advancedflow/af1/trigger"_s << 200;
        QTest::newRow("mood") << u"manager/moods/mood/m1/set"_s << 200;
        QTest::newRow("standard id as advanced") << u"manager/flow/advancedflow/f1/trigger"_s << 404;
        QTest::newRow("unknown flow") << u"manager/flow/flow/nope/trigger"_s << 404;
        QTest::newRow("unknown mood") << u"manager/moods/mood/nope/set"_s << 404;
    }

    void triggersFlowsAndMoods()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        const Answer answer = call("POST", path);
        QCOMPARE(answer.status, status);
        QCOMPARE(hub->requests().first().body, QByteArray());
    }

    void encodedSlashStaysInsideItsSegment()
    {
        const Answer answer =
            call("PUT", u"manager/devices/device/a%2Fb/capability/onoff"_s, R"({"value":false})");
        QCOMPARE(answer.status, 200);
        QCOMPARE(hub->requests().first().target, "/api/manager/devices/device/a%2Fb/capability/onoff");
        QCOMPARE(hub->device(u"a/b"_s)[u"capabilitiesObj"][u"onoff"][u"value"], QJsonValue(false));
        // The same id unencoded is two segments and no route at all.
        QCOMPARE(call("PUT", u"manager/devices/device/a/b/capability/onoff"_s, R"({"value":true})").status,
                 404);
        QCOMPARE(hub->unknownRequests().size(), 1);
    }

    void unknownPathIsRecorded()
    {
        QCOMPARE(call("GET", u"manager/apps/app/"_s).status, 404);
        QCOMPARE(call("GET", u"manager/zones/zone"_s).status, 404); // the collection paths end in "/"
        QCOMPARE(call("GET", u"manager/zones/zone/?x=1"_s).status, 200);
        const QList<FakeRequest> unknown = hub->unknownRequests();
        QCOMPARE(unknown.size(), 2);
        QCOMPARE(unknown[0].target, "/api/manager/apps/app/");
        QCOMPARE(unknown[1].target, "/api/manager/zones/zone");
        QCOMPARE(hub->requests().last().query(), "x=1");
    }

    void faults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("status") << u"status"_s << u"manager/zones/zone/"_s;
        QTest::newRow("status by prefix") << u"status"_s << u"manager/zones/*"_s;
        QTest::newRow("malformed") << u"malformed"_s << u"manager/zones/zone/"_s;
        QTest::newRow("redirect") << u"redirect"_s << u"manager/zones/zone/"_s;
        QTest::newRow("close") << u"close"_s << u"manager/zones/zone/"_s;
        QTest::newRow("cut off mid-body") << u"raw"_s << u"manager/zones/zone/"_s;
        QTest::newRow("stall") << u"stall"_s << u"manager/zones/zone/"_s;
    }

    void faults()
    {
        QFETCH(QString, kind);
        QFETCH(QString, pattern);
        const QString path = u"manager/zones/zone/"_s;
        if (kind == u"status")
            hub->failPath(pattern, 503);
        else if (kind == u"malformed")
            hub->malformPath(pattern, "{not json");
        else if (kind == u"redirect")
            hub->redirectPath(pattern, u"http://127.0.0.1:1/elders"_s);
        else if (kind == u"close")
            hub->closePath(pattern);
        else if (kind == u"raw")
            hub->rawResponsePath(pattern, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"z1\":");
        else
            hub->stallPath(pattern);

        const Answer answer = call("GET", path, {}, token, kind == u"stall" ? 300 : 0);
        if (kind == u"status") {
            QCOMPARE(answer.status, 503);
        } else if (kind == u"malformed") {
            QCOMPARE(answer.status, 200);
            QCOMPARE(answer.body, "{not json");
        } else if (kind == u"redirect") {
            QCOMPARE(answer.status, 302);
            QCOMPARE(answer.location, "http://127.0.0.1:1/elders");
        } else if (kind == u"close") {
            QCOMPARE(answer.status, 0);
            QVERIFY(answer.error != QNetworkReply::NoError);
        } else if (kind == u"raw") {
            QCOMPARE(answer.error, QNetworkReply::RemoteHostClosedError);
        } else {
            QCOMPARE(answer.status, 0);
            QCOMPARE(answer.error, QNetworkReply::OperationCanceledError); // the client gave up
            QCOMPARE(hub->requests().size(), 1);
        }
        // Other paths are unaffected, and the fault lasts until cleared.
        QCOMPARE(call("GET", u"manager/devices/device/"_s).status, 200);
        if (kind != u"stall")
            QCOMPARE(call("GET", path).status, answer.status);
        hub->clearFaults();
        QCOMPARE(call("GET", path).status, 200);
        QVERIFY(hub->unknownRequests().isEmpty());
    }

    void concurrentRequestsAreAllAnswered()
    {
        const QStringList paths{u"manager/zones/zone/"_s, u"manager/devices/device/"_s,
                                u"manager/flow/flow/"_s, u"manager/moods/mood/"_s};
        QList<QNetworkReply *> replies;
        for (const QString &path : paths) {
            QNetworkRequest request(QUrl(hub->baseURL().toString() + u"/api/"_s + path));
            request.setRawHeader("Authorization", "Bearer " + token);
            replies.append(network->get(request));
        }
        for (QNetworkReply *reply : replies) {
            if (!reply->isFinished())
                QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(10000));
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        }
        QCOMPARE(hub->requests().size(), 4);
    }

    void rawConnectionKeepsHeadersAndPipelines()
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, hub->port());
        QVERIFY(socket.waitForConnected(5000));
        const QByteArray first =
            "GET /api/manager/system/ping HTTP/1.1\r\nHost: x\r\nX-Odd-CASE:  spaced value \r\n"
            "x-odd-case: second\r\n\r\n";
        const QByteArray second =
            "PUT /api/manager/devices/device/d1/capability/onoff HTTP/1.1\r\nHost: x\r\n"
            "Authorization: Bearer " +
            token + "\r\nContent-Length: 14\r\n\r\n{\"value\":true}";
        // Split mid-body to exercise partial reads.
        socket.write(first + second.left(second.size() - 5));
        socket.flush();
        QTRY_COMPARE(hub->requests().size(), 1);
        socket.write(second.right(5));
        const QList<QByteArray> responses = readResponses(socket, 2);
        QCOMPARE(responses.size(), 2);
        QVERIFY(responses[0].startsWith("HTTP/1.1 200 OK\r\n"));
        QVERIFY(responses[1].endsWith("\r\n\r\n{}"));
        QCOMPARE(hub->requests().size(), 2);
        const FakeRequest ping = hub->requests().first();
        QCOMPARE(ping.headers.size(), 3);
        QCOMPARE(ping.headers[1], (QPair<QByteArray, QByteArray>("X-Odd-CASE", "spaced value")));
        QCOMPARE(ping.headers[2].first, "x-odd-case");
        QCOMPARE(ping.rawHead, first);
        QCOMPARE(hub->requests()[1].body, "{\"value\":true}");
        QCOMPARE(hub->requests()[0].connectionId, hub->requests()[1].connectionId);
    }

    void malformedRequestIsRefused_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("bad request line") << QByteArray("NONSENSE\r\n\r\n");
        QTest::newRow("bad content length")
            << QByteArray("GET /api/x HTTP/1.1\r\nContent-Length: -4\r\n\r\n");
        QTest::newRow("chunked") << QByteArray(
            "POST /api/x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n");
    }

    void malformedRequestIsRefused()
    {
        QFETCH(QByteArray, raw);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, hub->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(raw);
        const QList<QByteArray> responses = readResponses(socket, 1);
        QCOMPARE(responses.size(), 1);
        QVERIFY(responses[0].startsWith("HTTP/1.1 400 "));
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
        for (const FakeRequest &request : hub->requests())
            QVERIFY(!request.knownPath);
    }

    void webSocketUpgradeGoesToTheHandler()
    {
        const QByteArray head = "GET /socket.io/?EIO=4&transport=websocket HTTP/1.1\r\nHost: x\r\n"
                                "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: abc\r\n"
                                "Sec-WebSocket-Version: 13\r\n\r\n";
        {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, hub->port());
            QVERIFY(socket.waitForConnected(5000));
            socket.write(head);
            const QList<QByteArray> responses = readResponses(socket, 1);
            QCOMPARE(responses.size(), 1);
            QVERIFY(responses[0].startsWith("HTTP/1.1 404 "));
            QCOMPARE(hub->unknownRequests().size(), 1);
        }
        hub->clearRequests();

        FakeRequest handed;
        hub->setWebSocketUpgradeHandler([&](QTcpSocket *server, const FakeRequest &request) {
            handed = request;
            server->write("HTTP/1.1 101 Switching Protocols\r\n\r\nhello");
        });
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, hub->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(head + "early");
        QByteArray got;
        QTRY_VERIFY((got += socket.readAll()).endsWith("hello"));
        QCOMPARE(handed.rawHead, head);
        QCOMPARE(handed.query(), "EIO=4&transport=websocket");
        QVERIFY(handed.knownPath);
        QVERIFY(hub->unknownRequests().isEmpty());
        // After the hand-over the hub no longer parses what the client sends.
        socket.write("GET /api/manager/system/ping HTTP/1.1\r\n\r\n");
        socket.flush();
        QTest::qWait(100);
        QCOMPARE(hub->requests().size(), 1);
    }

    void demoHomeIsAPlausibleHouse()
    {
        QString error;
        const std::optional<QJsonObject> home = FakeHub::readHomeFile(FakeHub::demoHomePath(), &error);
        QVERIFY2(home, qPrintable(error));
        const QJsonObject zones = (*home)[u"zones"].toObject();
        const QJsonObject devices = (*home)[u"devices"].toObject();
        QVERIFY(zones.size() >= 12);
        QVERIFY(devices.size() >= 60);
        for (auto it = zones.begin(); it != zones.end(); ++it) {
            QCOMPARE(it.value()[u"id"].toString(), it.key());
            const QJsonValue parent = it.value()[u"parent"];
            QVERIFY2(parent.isNull() || zones.contains(parent.toString()), qPrintable(it.key()));
        }
        QSet<QString> classes;
        bool pager = false;
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            const QJsonObject d = it.value().toObject();
            QCOMPARE(d[u"id"].toString(), it.key());
            QVERIFY2(zones.contains(d[u"zone"].toString()), qPrintable(d[u"name"].toString()));
            classes.insert(d[u"class"].toString());
            const QJsonObject capabilities = d[u"capabilitiesObj"].toObject();
            for (const QJsonValue &id : d[u"capabilities"].toArray())
                QVERIFY2(capabilities.contains(id.toString()), qPrintable(id.toString()));
            pager = pager || (capabilities.contains(u"p2000") && capabilities.contains(u"voertuigen"));
        }
        QVERIFY(pager);
        for (const char *cls : {"light", "socket", "sensor", "thermostat", "speaker", "tv", "lock",
                                "doorbell", "camera", "curtain", "blinds", "windowcoverings", "vacuumcleaner",
                                "button", "homealarm", "garagedoor", "solarpanel", "fan", "heater"})
            QVERIFY2(classes.contains(QString::fromLatin1(cls)), cls);
        const QJsonObject properties = (*home)[u"me"][u"properties"].toObject();
        for (const QJsonValue &id : properties[u"favoriteDevices"].toArray())
            QVERIFY(devices.contains(id.toString()));
        QVERIFY((*home)[u"notifications"].toObject().size() >= 20);

        // And the hub serves it with the token it carries.
        hub->setHome(*home);
        QCOMPARE(
            parseObject(call("GET", u"manager/devices/device/"_s, {}, hub->token().toUtf8()).body).size(),
            devices.size());
    }

    void programServesAHomeAndSaysWhere()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(u"home.json"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(smallHome()).toJson());
        file.close();

        QProcess program;
        program.start(QStringLiteral(QUORVANE_FAKEHUB_EXE),
                      {u"--home"_s, file.fileName(), u"--token"_s, u"secret"_s});
        QVERIFY(program.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 10000);
        const QString line = QString::fromUtf8(program.readLine()).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression(uR"(^fakehub listening on (http://127\.0\.0\.1:\d+) token secret$)"_s)
                .match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));

        QNetworkRequest request(QUrl(match.captured(1) + u"/api/manager/zones/zone/"_s));
        request.setRawHeader("Authorization", "Bearer secret");
        QNetworkReply *reply = network->get(request);
        QVERIFY(QSignalSpy(reply, &QNetworkReply::finished).wait(10000));
        QCOMPARE(QJsonDocument::fromJson(reply->readAll()).object(), smallHome()[u"zones"].toObject());
        delete reply;
        program.kill();
        program.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestFakeHub)
#include "tst_fakehub.moc"
