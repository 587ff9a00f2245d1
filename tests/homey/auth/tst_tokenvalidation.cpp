#include "awaittask.h"
#include "base/async/cancelled.h"
#include "fakehub/fakehub.h"
#include "homey/auth/tokenvalidation.h"
#include "homey/model/homeyerror.h"

#include <memory>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString accepted = u"abc:def:ghi"_s;
const QString sessionRoute = u"manager/sessions/session/me"_s;
const QString sessionPath = u"/api/manager/sessions/session/me"_s;

std::optional<HomeyError> failureOf(QCoro::Task<HomeyIdentity> task)
{
    try {
        awaitTask(std::move(task), 30s);
    } catch (const HomeyError &error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class TestTokenValidation : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeHub> m_hub;

    void serveSession(const QJsonObject &session)
    {
        m_hub->setHome(QJsonObject{{u"token"_s, accepted}, {u"session"_s, session}});
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        QVERIFY(m_hub->listen());
        serveSession(QJsonObject{{u"id"_s, u"s1"_s}, {u"type"_s, u"pat"_s}});
    }

    void fullAnswer()
    {
        serveSession(QJsonObject{{u"id"_s, u"s1"_s},
                                 {u"type"_s, u"pat"_s},
                                 {u"userName"_s, u"Anne"_s},
                                 {u"scopes"_s, QJsonArray{u"homey.device"_s, u"homey.flow.start"_s}},
                                 {u"clientName"_s, u"Quorvane"_s},
                                 {u"extra"_s, 5}});
        const HomeyIdentity identity = awaitTask(validateToken(m_hub->baseURL(), accepted), 30s);
        QCOMPARE(identity,
                 (HomeyIdentity{u"s1"_s, u"pat"_s, u"Anne"_s,
                                QStringList{u"homey.device"_s, u"homey.flow.start"_s}, u"Quorvane"_s}));

        const QList<FakeRequest> requests = m_hub->requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].method, "GET");
        QCOMPARE(requests[0].target, sessionPath.toUtf8());
        QCOMPARE(requests[0].header("Authorization"), "Bearer " + accepted.toUtf8());
        QVERIFY(!requests[0].hasHeader("Content-Type"));
        QVERIFY(requests[0].body.isEmpty());
    }

    void minimalAnswer()
    {
        serveSession(
            QJsonObject{{u"id"_s, u"s1"_s}, {u"type"_s, u"pat"_s}, {u"userName"_s, QJsonValue::Null}});
        QCOMPARE(awaitTask(validateToken(m_hub->baseURL(), accepted), 30s),
                 (HomeyIdentity{u"s1"_s, u"pat"_s, u"onbekend"_s, {}, std::nullopt}));
    }

    void undecodableAnswers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no type") << QByteArray(R"({"id":"s1"})") << u"type: missing"_s;
        QTest::newRow("null id") << QByteArray(R"({"id":null,"type":"pat"})")
                                 << u"id: expected text, found null"_s;
        QTest::newRow("numeric id") << QByteArray(R"({"id":1,"type":"pat"})")
                                    << u"id: expected text, found number"_s;
        QTest::newRow("scopes with a number") << QByteArray(R"({"id":"s","type":"t","scopes":["a",1]})")
                                              << u"scopes[1]: expected text, found number"_s;
        QTest::newRow("scopes text") << QByteArray(R"({"id":"s","type":"t","scopes":"a"})")
                                     << u"scopes: expected list, found text"_s;
        QTest::newRow("clientName object") << QByteArray(R"({"id":"s","type":"t","clientName":{}})")
                                           << u"clientName: expected text, found object"_s;
        QTest::newRow("array") << QByteArray("[]") << u"expected object, found list"_s;
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void undecodableAnswers()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, reason);
        m_hub->malformPath(sessionRoute, body);
        const std::optional<HomeyError> error = failureOf(validateToken(m_hub->baseURL(), accepted));
        QVERIFY(error);
        QCOMPARE(error->kind(), HomeyError::Kind::decoding);
        QVERIFY2(error->text().startsWith(u"sessions/session/me: "_s), qPrintable(error->text()));
        if (!reason.isEmpty())
            QCOMPARE(error->text(), u"sessions/session/me: "_s + reason);
    }

    void statuses_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<HomeyError>("expected");
        QTest::newRow("204 is decoded") << 204 << HomeyError::decoding(QString());
        QTest::newRow("403") << 403 << HomeyError::unauthorized();
        QTest::newRow("404") << 404 << HomeyError::http(404, sessionPath);
        QTest::newRow("500") << 500 << HomeyError::http(500, sessionPath);
        QTest::newRow("302 is not followed") << 302 << HomeyError::http(302, sessionPath);
    }

    void statuses()
    {
        QFETCH(int, status);
        QFETCH(HomeyError, expected);
        if (status == 302)
            m_hub->redirectPath(sessionRoute, m_hub->baseURL().toString() + sessionPath);
        else
            m_hub->failPath(sessionRoute, status);
        const std::optional<HomeyError> error = failureOf(validateToken(m_hub->baseURL(), accepted));
        QVERIFY(error);
        if (expected.kind() == HomeyError::Kind::decoding)
            QCOMPARE(error->kind(), HomeyError::Kind::decoding);
        else
            QCOMPARE(*error, expected);
        QCOMPARE(m_hub->requests().size(), 1);
    }

    void wrongToken()
    {
        QCOMPARE(failureOf(validateToken(m_hub->baseURL(), u"other"_s)), HomeyError::unauthorized());
    }

    void tokenThatWouldSplitTheHeaderIsNeverSent()
    {
        QCOMPARE(failureOf(validateToken(m_hub->baseURL(), accepted + u"\r\nX-Evil: 1"_s)),
                 HomeyError::unauthorized());
        QCOMPARE(failureOf(validateToken(m_hub->baseURL(), accepted + u"\n"_s)), HomeyError::unauthorized());
        QVERIFY(m_hub->requests().isEmpty());
    }

    void basePathIsKept()
    {
        const QUrl base(m_hub->baseURL().toString() + u"/sub"_s);
        QCOMPARE(failureOf(validateToken(base, accepted)), HomeyError::http(404, sessionPath));
        QCOMPARE(m_hub->requests().value(0).target, "/sub" + sessionPath.toUtf8());
    }

    void unreachable()
    {
        const quint16 port = m_hub->port();
        m_hub.reset();
        QCOMPARE(failureOf(validateToken(QUrl(u"http://127.0.0.1:%1"_s.arg(port)), accepted)),
                 HomeyError::unreachable(u"127.0.0.1"_s));
    }

    void unreachableAfterTheTimeOut()
    {
        m_hub->stallPath(sessionRoute);
        QCOMPARE(failureOf(validateToken(m_hub->baseURL(), accepted, nullptr, {}, 100ms)),
                 HomeyError::unreachable(u"127.0.0.1"_s));
    }

    void unreachableWithoutHostNamesTheURL()
    {
        QCOMPARE(failureOf(validateToken(QUrl(u"file:///tmp/nohub"_s), accepted)),
                 HomeyError::unreachable(u"file:///tmp/nohub"_s));
    }

    void cancelledByTheCaller()
    {
        m_hub->stallPath(sessionRoute);
        CancelToken cancel;
        QTimer::singleShot(50ms, [cancel]() mutable { cancel.cancel(); });
        QVERIFY_THROWS_EXCEPTION(Cancelled,
                                 awaitTask(validateToken(m_hub->baseURL(), accepted, nullptr, cancel), 30s));
        QCOMPARE(m_hub->requests().size(), 1);

        m_hub->clearRequests();
        CancelToken early;
        early.cancel();
        QVERIFY_THROWS_EXCEPTION(Cancelled,
                                 awaitTask(validateToken(m_hub->baseURL(), accepted, nullptr, early), 30s));
        QVERIFY(m_hub->requests().isEmpty());
    }

    void givenSessionIsUsedAndKept()
    {
        QNetworkAccessManager manager;
        int started = 0;
        connect(&manager, &QNetworkAccessManager::finished, this, [&started](QNetworkReply *) { ++started; });
        awaitTask(validateToken(m_hub->baseURL(), accepted, &manager), 30s);
        QCOMPARE(failureOf(validateToken(m_hub->baseURL(), u"wrong"_s, &manager)),
                 HomeyError::unauthorized());
        QCOMPARE(started, 2);
        QTest::qWait(10); // any deferred deletion has run by now
        awaitTask(validateToken(m_hub->baseURL(), accepted, &manager), 30s);
        QCOMPARE(started, 3);
    }
};

QTEST_GUILESS_MAIN(TestTokenValidation)
#include "tst_tokenvalidation.moc"
