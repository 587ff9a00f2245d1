#include "fakehub/fakehub.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
struct Answer {
    int status = 0; // 0 when no HTTP answer came
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray location;
};
} // namespace

// The contract the other tests rely on: the token check, the recording, the writes and the faults.
class TestFakeHub : public QObject {
    Q_OBJECT

    FakeHub *hub = nullptr;
    QNetworkAccessManager *network = nullptr;

    Answer call(const QByteArray &method, const QString &path, const QByteArray &body = {},
                const QByteArray &token = "secret", const QString &base = {})
    {
        QNetworkRequest request(
            QUrl((base.isEmpty() ? hub->baseURL().toString() : base) + u"/api/"_s + path));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setTransferTimeout(500);
        if (!token.isEmpty())
            request.setRawHeader("Authorization", "Bearer " + token);
        if (!body.isEmpty())
            request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
        std::unique_ptr<QNetworkReply> reply(network->sendCustomRequest(request, method, body));
        if (!reply->isFinished())
            QSignalSpy(reply.get(), &QNetworkReply::finished).wait(10000);
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->error(),
                reply->readAll(), reply->rawHeader("Location")};
    }

private Q_SLOTS:
    void init()
    {
        hub = new FakeHub(this);
        QVERIFY(hub->loadHome(FakeHub::smallHomePath()));
        QVERIFY(hub->listen());
        network = new QNetworkAccessManager(this);
    }

    void cleanup()
    {
        delete network;
        delete hub;
    }

    void checksTheTokenAndRecords_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<int>("status");
        QTest::newRow("read") << u"manager/zones/zone/"_s << QByteArray("secret") << 200;
        QTest::newRow("wrong token") << u"manager/zones/zone/"_s << QByteArray("secrets") << 401;
        QTest::newRow("no token") << u"manager/sessions/session/me"_s << QByteArray() << 401;
        QTest::newRow("ping without token") << u"manager/system/ping"_s << QByteArray() << 200;
        QTest::newRow("unknown path") << u"manager/zones/zone"_s << QByteArray("secret") << 404;
        QTest::newRow("second key") << u"manager/sessions/session/me"_s << QByteArray("trial-pos") << 200;
        QTest::newRow("refused key") << u"manager/sessions/session/me"_s << QByteArray("trial-neg") << 401;
        QTest::newRow("second key, cut") << u"manager/zones/zone/"_s << QByteArray("trial-po") << 401;
    }
    void checksTheTokenAndRecords()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, token);
        QFETCH(int, status);
        hub->acceptToken(u"trial-pos"_s);
        const Answer answer = call("GET", path, {}, token);
        QCOMPARE(answer.status, status);
        if (path == u"manager/zones/zone/"_s && status == 200)
            QCOMPARE(QJsonDocument::fromJson(answer.body).object(), hub->home()[u"zones"].toObject());
        QCOMPARE(hub->requests().size(), 1);
        QCOMPARE(hub->requests()[0].target, "/api/" + path.toUtf8());
        QCOMPARE(hub->unknownRequests().size(), status == 404 ? 1 : 0);
    }

    void writesChangeTheHome()
    {
        QSignalSpy changes(hub, &FakeHub::capabilityChanged);
        const QByteArray body = "{\"value\":false,\"transactionId\":\"t-1\"}";
        QCOMPARE(call("PUT", u"manager/devices/device/d1/capability/onoff"_s, body).status, 200);
        QCOMPARE(hub->device(u"d1"_s)[u"capabilitiesObj"][u"onoff"][u"value"], QJsonValue(false));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0],
                 (QVariantList{u"d1"_s, u"onoff"_s, QVariant::fromValue(QJsonValue(false)), u"t-1"_s}));
        const FakeRequest request = hub->requests().value(0);
        QCOMPARE(request.method, "PUT");
        QCOMPARE(request.body, body);
        QCOMPARE(request.header("content-type"), "application/json");

        // Refused writes leave the home alone.
        const QJsonObject before = hub->home();
        QCOMPARE(call("PUT", u"manager/devices/device/d1/capability/nope"_s, body).status, 404);
        QCOMPARE(call("PUT", u"manager/devices/device/d1/capability/dim"_s, "{\"v\":1}").status, 400);
        QCOMPARE(call("POST", u"manager/flow/advancedflow/f1/trigger"_s).status, 404);
        QCOMPARE(call("POST", u"manager/flow/advancedflow/a1/trigger"_s).status, 200);
        QCOMPARE(call("POST", u"manager/moods/mood/m1/set"_s).status, 200);
        QCOMPARE(hub->home(), before);
        QCOMPARE(changes.size(), 1);
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
        QTest::newRow("raw, cut off") << u"raw"_s << u"manager/zones/zone/"_s;
        QTest::newRow("stall") << u"stall"_s << u"manager/zones/zone/"_s;
    }
    void faults()
    {
        QFETCH(QString, kind);
        QFETCH(QString, pattern);
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

        const Answer answer = call("GET", u"manager/zones/zone/"_s, {}, "wrong token: faults come first");
        const QMap<QString, std::pair<int, QNetworkReply::NetworkError>> expected{
            {u"status"_s, {503, QNetworkReply::ServiceUnavailableError}},
            {u"malformed"_s, {200, QNetworkReply::NoError}},
            {u"redirect"_s, {302, QNetworkReply::NoError}},
            {u"close"_s, {0, QNetworkReply::RemoteHostClosedError}},
            {u"raw"_s, {200, QNetworkReply::RemoteHostClosedError}},
            {u"stall"_s, {0, QNetworkReply::OperationCanceledError}}};
        QCOMPARE(std::pair(answer.status, answer.error), expected.value(kind));
        if (kind == u"malformed")
            QCOMPARE(answer.body, "{not json");
        if (kind == u"redirect")
            QCOMPARE(answer.location, "http://127.0.0.1:1/elders");
        // Other paths are unaffected, and the fault lasts until it is cleared.
        QCOMPARE(call("GET", u"manager/devices/device/"_s).status, 200);
        if (kind != u"stall")
            QCOMPARE(call("GET", u"manager/zones/zone/"_s).status, answer.status);
        hub->clearFaults();
        QCOMPARE(call("GET", u"manager/zones/zone/"_s).status, 200);
    }
};

QTEST_GUILESS_MAIN(TestFakeHub)
#include "tst_fakehub.moc"
