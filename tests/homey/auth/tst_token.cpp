#include "awaittask.h"
#include "base/async/cancelled.h"
#include "fakehub/fakehub.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/auth/tokenresolver.h"
#include "homey/auth/tokenvalidation.h"
#include "homey/model/homeyerror.h"

#include <fcntl.h>
#include <future>
#include <memory>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Map = QMap<QString, QString>;

namespace {

QString token(int first, int second, int third, QChar fill = u'a')
{
    return QString(first, fill) + u':' + QString(second, u'b') + u':' + QString(third, u'c');
}

const QString good = token(36, 36, 20);
const QString other = token(36, 36, 40, u'z');

QJsonObject hub(const QJsonValue &token)
{
    return QJsonObject{{u"token"_s, token}};
}

const QString accepted = u"abc:def:ghi"_s;
const QString sessionRoute = u"manager/sessions/session/me"_s;
const QString sessionPath = u"/api/manager/sessions/session/me"_s;

const auto failureOf = [](QCoro::Task<HomeyIdentity> task) {
    return awaitFailure<HomeyError>(std::move(task), 30s);
};

} // namespace

// Where the token comes from, and the hub's word on it.
class TestToken : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString settingsPath() const { return m_home.filePath(u".athom-cli/settings.json"_s); }
    void writeAthomSettings(const QByteArray &content)
    {
        QDir(m_home.path()).mkpath(u".athom-cli"_s);
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void writeAthomSettings(const QJsonObject &settings)
    {
        writeAthomSettings(QJsonDocument(settings).toJson());
    }

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
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
    }

    void cleanup() { QFile::remove(settingsPath()); }

    // Three pieces of 36, 36 and 20 characters; empty pieces from doubled or outer colons do not count.
    void plausibility()
    {
        const QStringList plausible{good, u":"_s + QString(good).replace(36, 1, u"::"_s) + u":"_s};
        const QStringList implausible{token(36, 36, 19),
                                      token(35, 36, 20),
                                      token(36, 37, 20),
                                      good + u":dddd"_s,
                                      QString(good).replace(40, 1, u'\n'),
                                      QString(good).replace(40, 1, QChar(0x7f)),
                                      u" "_s + good};
        for (const QString &text : plausible)
            QVERIFY2(TokenResolver::isPlausibleToken(text), qPrintable(text));
        for (const QString &text : implausible)
            QVERIFY2(!TokenResolver::isPlausibleToken(text), qPrintable(text));
    }

    void tokenSourcesAndKeychainTexts()
    {
        QCOMPARE(tokenSourceFromRawValue(u"environment"_s), TokenSource::Environment);
        QCOMPARE(tokenSourceFromRawValue(u"Keychain"_s), std::nullopt);
        QCOMPARE(KeychainError::unhandled(-25300).errorDescription(),
                 u"De sleutelbos gaf een fout (-25300)."_s);
        QCOMPARE(KeychainError::denied().errorDescription(),
                 u"De computer gaf geen toegang tot de sleutelbos."_s);
        QCOMPARE(QString::fromUtf8(KeychainError::timedOut().what()),
                 u"De sleutelbos reageerde niet op tijd."_s);
    }

    void athomSettings()
    {
        // The active hub's token is implausible; another "homey-" entry has one; a differently named entry
        // is never used.
        writeAthomSettings(QJsonObject{
            {u"activeHomey"_s, QJsonObject{{u"id"_s, u"active"_s}}},
            {u"homeyApi"_s, QJsonObject{{u"a-other"_s, hub(good)},
                                        {u"homey-active"_s, hub(token(36, 36, 19))},
                                        {u"homey-second"_s, hub(u"  "_s + other + u"\n"_s)}}},
        });
        QCOMPARE(TokenResolver::fromAthomCLI(), other);
        writeAthomSettings(QJsonObject{
            {u"activeHomey"_s, QJsonObject{{u"id"_s, u"b"_s}}},
            {u"homeyApi"_s, QJsonObject{{u"homey-a"_s, hub(other)}, {u"homey-b"_s, hub(good)}}},
        });
        QCOMPARE(TokenResolver::fromAthomCLI(), good);
    }

    void malformedAthomSettings()
    {
        for (const char *content :
             {"{homeyApi", "[]", R"({"homeyApi": []})", R"({"homeyApi": {"homey-a": "x"}})",
              R"({"homeyApi": {"homey-a": {"token": 5}}})"}) {
            writeAthomSettings(QByteArray(content));
            QVERIFY2(!TokenResolver::fromAthomCLI(), content);
        }
    }

    void athomSettingsThatAreNoRegularFileAreNeverRead()
    {
        QDir(m_home.path()).mkpath(u".athom-cli"_s);
        const QByteArray fifo = QFile::encodeName(settingsPath());
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        auto read = std::async(std::launch::async, [] { return TokenResolver::fromAthomCLI(); });
        if (read.wait_for(5s) != std::future_status::ready) {
            // Give the blocked reader its writer so that the test can end.
            ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
            QFAIL("the settings FIFO was opened for reading");
        }
        QCOMPARE(read.get(), std::nullopt);
        QFile::remove(settingsPath());
        QVERIFY(QFile::link(u"/dev/zero"_s, settingsPath()));
        QCOMPARE(TokenResolver::fromAthomCLI(), std::nullopt);
    }

    void environmentTokens_data()
    {
        QTest::addColumn<Map>("values");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("dev token first")
            << Map{{u"QUORVANE_DEV_TOKEN"_s, u"dev"_s}, {u"HOMEY_TOKEN"_s, u"h"_s}}
            << std::optional(u"dev"_s);
        QTest::newRow("empty dev token blocks")
            << Map{{u"QUORVANE_DEV_TOKEN"_s, QString()}, {u"HOMEY_TOKEN"_s, u"h"_s}}
            << std::optional<QString>();
        QTest::newRow("trimmed, CR gone") << Map{{u"HOMEY_TOKEN"_s, u" h \r"_s}} << std::optional(u"h"_s);
        QTest::newRow("blank") << Map{{u"HOMEY_TOKEN"_s, u" \t"_s}} << std::optional<QString>();
        QTest::newRow("line break inside")
            << Map{{u"HOMEY_TOKEN"_s, u"a\r\nX-Evil: 1"_s}} << std::optional<QString>();
    }
    void environmentTokens()
    {
        QFETCH(Map, values);
        QTEST(TokenResolver::fromEnvironment(values), "expected");
    }

    void resolutionOrder()
    {
        auto store = std::make_shared<MemoryTokenStore>();
        writeAthomSettings(QJsonObject{{u"homeyApi"_s, QJsonObject{{u"homey-a"_s, hub(good)}}}});
        const Map environment{{u"HOMEY_TOKEN"_s, u"env-token"_s}};
        const auto resolve = [&](bool fallbacks, const Map &values) {
            return awaitTask(TokenResolver::resolve(fallbacks, store, values));
        };

        awaitTask(store->save(u" stored \n"_s, TokenStore::defaultService));
        QCOMPARE(resolve(true, environment), (ResolvedToken{u"stored"_s, TokenSource::Keychain}));

        // Undecodable data, or a failing keyring, counts as no token.
        store->setRawData(TokenStore::defaultService, "\xff");
        QCOMPARE(resolve(true, environment), (ResolvedToken{good, TokenSource::AthomCLI}));
        store->failWith(KeychainError::timedOut());
        QCOMPARE(resolve(true, environment), (ResolvedToken{good, TokenSource::AthomCLI}));
        QCOMPARE(resolve(false, environment), std::nullopt);
        store->failWith(std::nullopt);

        QFile::remove(settingsPath());
        QCOMPARE(resolve(true, environment), (ResolvedToken{u"env-token"_s, TokenSource::Environment}));
        QCOMPARE(resolve(false, environment), std::nullopt);

        // Only the default service is read.
        awaitTask(store->save(good, u"ai.velkor.quorvane.onboarding-test.7"_s));
        QCOMPARE(resolve(true, Map()), std::nullopt);
    }

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

QTEST_GUILESS_MAIN(TestToken)
#include "tst_token.moc"
