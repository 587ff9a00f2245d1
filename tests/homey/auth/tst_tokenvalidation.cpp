#include "awaittask.h"
#include "base/async/cancelled.h"
#include "fakehub/fakehub.h"
#include "homey/auth/tokenvalidation.h"
#include "homey/model/homeyerror.h"

#include <memory>
#include <QJsonArray>
#include <QNetworkAccessManager>
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
    std::optional<HomeyError> failureWith(const QString &token, TokenValidationOptions options = {})
    {
        return failureOf(validateToken(m_hub->baseURL(), token, std::move(options)));
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        QVERIFY(m_hub->listen());
        serveSession(
            QJsonObject{{u"id"_s, u"s1"_s}, {u"type"_s, u"pat"_s}, {u"userName"_s, QJsonValue::Null}});
    }

    void answers()
    {
        QCOMPARE(awaitTask(validateToken(m_hub->baseURL(), accepted), 30s),
                 (HomeyIdentity{u"s1"_s, u"pat"_s, u"onbekend"_s, {}, std::nullopt}));
        serveSession(QJsonObject{{u"id"_s, u"s1"_s},
                                 {u"type"_s, u"pat"_s},
                                 {u"userName"_s, u"Anne"_s},
                                 {u"scopes"_s, QJsonArray{u"homey.device"_s, u"homey.flow.start"_s}},
                                 {u"clientName"_s, u"Quorvane"_s},
                                 {u"extra"_s, 5}});
        QCOMPARE(awaitTask(validateToken(m_hub->baseURL(), accepted), 30s),
                 (HomeyIdentity{u"s1"_s, u"pat"_s, u"Anne"_s,
                                QStringList{u"homey.device"_s, u"homey.flow.start"_s}, u"Quorvane"_s}));
        const FakeRequest request = m_hub->requests().value(1);
        QCOMPARE(request.method, "GET");
        QCOMPARE(request.target, sessionPath.toUtf8());
        QCOMPARE(request.header("Authorization"), "Bearer " + accepted.toUtf8());
        QVERIFY(request.body.isEmpty());
    }

    void undecodableAnswers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no type") << QByteArray(R"({"id":"s1"})") << u"type: missing"_s;
        QTest::newRow("scopes with a number") << QByteArray(R"({"id":"s","type":"t","scopes":["a",1]})")
                                              << u"scopes[1]: expected text, found number"_s;
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void undecodableAnswers()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, reason);
        m_hub->malformPath(sessionRoute, body);
        const std::optional<HomeyError> error = failureWith(accepted);
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
        const std::optional<HomeyError> error = failureWith(accepted);
        QVERIFY(error);
        QCOMPARE(error->kind(), expected.kind());
        if (expected.kind() != HomeyError::Kind::decoding)
            QCOMPARE(*error, expected);
        QCOMPARE(m_hub->requests().size(), 1);
    }

    void refusedTokens()
    {
        QCOMPARE(failureWith(u"other"_s), HomeyError::unauthorized());
        m_hub->clearRequests();
        // A token that would split the header is never sent.
        QCOMPARE(failureWith(accepted + u"\r\nX-Evil: 1"_s), HomeyError::unauthorized());
        QVERIFY(m_hub->requests().isEmpty());
    }

    void unreachable()
    {
        m_hub->stallPath(sessionRoute);
        TokenValidationOptions quick;
        quick.timeout = 100ms;
        QCOMPARE(failureWith(accepted, quick), HomeyError::unreachable(u"127.0.0.1"_s));
        const QUrl closed(u"http://127.0.0.1:%1"_s.arg(m_hub->port()));
        m_hub.reset();
        // A refusal comes from a host that answered: not offline, whatever the interfaces say.
        TokenValidationOptions noNetwork;
        noNetwork.isMachineOffline = [] { return true; };
        QCOMPARE(failureOf(validateToken(closed, accepted, noNetwork)),
                 HomeyError::unreachable(u"127.0.0.1"_s));
        QCOMPARE(failureOf(validateToken(QUrl(u"file:///tmp/nohub"_s), accepted)),
                 HomeyError::unreachable(u"file:///tmp/nohub"_s));
    }

    void cancelledByTheCaller()
    {
        m_hub->stallPath(sessionRoute);
        TokenValidationOptions options;
        QTimer::singleShot(50ms, [cancel = options.cancel]() mutable { cancel.cancel(); });
        QVERIFY_THROWS_EXCEPTION(Cancelled,
                                 awaitTask(validateToken(m_hub->baseURL(), accepted, options), 30s));
        QCOMPARE(m_hub->requests().size(), 1);

        m_hub->clearRequests();
        QVERIFY_THROWS_EXCEPTION(Cancelled,
                                 awaitTask(validateToken(m_hub->baseURL(), accepted, options), 30s));
        QVERIFY(m_hub->requests().isEmpty());
    }

    void givenSessionIsUsedAndKept()
    {
        auto manager = std::make_shared<QNetworkAccessManager>();
        int finished = 0;
        connect(manager.get(), &QNetworkAccessManager::finished, this, [&finished] { ++finished; });
        TokenValidationOptions options;
        options.session = manager;
        awaitTask(validateToken(m_hub->baseURL(), accepted, options), 30s);
        QTest::qWait(10); // any deferred deletion has run by now
        QCOMPARE(failureOf(validateToken(m_hub->baseURL(), u"wrong"_s, options)), HomeyError::unauthorized());
        QCOMPARE(finished, 2);
    }
};

QTEST_GUILESS_MAIN(TestTokenValidation)
#include "tst_tokenvalidation.moc"
