#include "app/appconfigurationlookup.h"
#include "awaittask.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Environment = QMap<QString, QString>;

const QString service = u"ai.velkor.quorvane"_s;
const QString toolToken = QString(36, u'a') + u':' + QString(36, u'b') + u':' + QString(20, u'c');

// A browser that must never be asked: the isolated run does no discovery.
class NoBrowser final : public ServiceBrowser {
public:
    QCoro::Task<QList<BrowseEntry>> browse(QString, std::chrono::milliseconds) override
    {
        qFatal("browsed");
        co_return QList<BrowseEntry>();
    }
    QCoro::Task<std::optional<QString>> resolveIPv4(QString, QString, QString,
                                                    std::chrono::milliseconds) override
    {
        qFatal("resolved");
        co_return std::nullopt;
    }
};

} // namespace

class TstRunConfiguration : public QObject {
    Q_OBJECT

    QString toolSettings() const { return QDir::homePath() + u"/.athom-cli/settings.json"_s; }

    void writeToolToken()
    {
        QDir().mkpath(QDir::homePath() + u"/.athom-cli"_s);
        QFile file(toolSettings());
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QJsonObject hub{{u"token"_s, toolToken}};
        file.write(QJsonDocument(QJsonObject{{u"homeyApi"_s, QJsonObject{{u"homey-1"_s, hub}}}}).toJson());
    }

private Q_SLOTS:
    void cleanup()
    {
        QFile::remove(toolSettings());
        QFile::remove(SettingsStore::standard().filePath());
        HomeyConfig::setEnvironmentSourceForTesting(std::nullopt);
    }

    void tokenSourcesInOrder_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("tool");
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<bool>("isolated");
        QTest::addColumn<bool>("explicitCredentials");
        QTest::addColumn<std::optional<QString>>("expected");
        using Env = Environment;
        const Env both{{u"QUORVANE_DEV_TOKEN"_s, u"dev"_s}, {u"HOMEY_TOKEN"_s, u"homey"_s}};
        const Env homeyOnly{{u"HOMEY_TOKEN"_s, u" homey\n"_s}};
        QTest::newRow("keyring first")
            << u" stored\n"_s << true << both << false << false << std::optional(u"stored"_s);
        QTest::newRow("keyring in isolation")
            << u"stored"_s << true << both << true << false << std::optional(u"stored"_s);
        QTest::newRow("tool next") << QString() << true << both << false << false << std::optional(toolToken);
        QTest::newRow("dev token over hub token")
            << QString() << false << both << false << false << std::optional(u"dev"_s);
        QTest::newRow("hub token trimmed")
            << QString() << false << homeyOnly << false << false << std::optional(u"homey"_s);
        QTest::newRow("control character refused")
            << u"a\u0007b"_s << false << Env() << false << false << std::optional<QString>();
        QTest::newRow("isolated: keyring only")
            << QString() << true << both << true << false << std::optional<QString>();
        QTest::newRow("explicit: keyring only")
            << QString() << true << homeyOnly << false << true << std::optional<QString>();
    }
    void tokenSourcesInOrder()
    {
        QFETCH(QString, stored);
        QFETCH(bool, tool);
        QFETCH(Environment, environment);
        QFETCH(bool, isolated);
        QFETCH(bool, explicitCredentials);
        QFETCH(std::optional<QString>, expected);
        MemoryTokenStore store;
        if (!stored.isEmpty())
            awaitTask(store.save(stored, service));
        if (tool)
            writeToolToken();
        HomeyConfig::setEnvironmentSourceForTesting(
            HomeyConfig::EnvironmentSource{environment, QDir::homePath()});
        if (explicitCredentials)
            SettingsStore::standard().setValue(AppConfiguration::explicitCredentialsKey, true);
        QCOMPARE(awaitTask(AppConfiguration::token(store, isolated, service)), expected);
    }

    void keyringFailureIsPassedOn()
    {
        MemoryTokenStore store;
        writeToolToken();
        store.failWith(KeychainError::denied());
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(AppConfiguration::token(store, false, service)));
    }

    void isolatedHubOnlyOnLocalHTTP_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("port") << u"http://127.0.0.1:49152"_s << true;
        QTest::newRow("path") << u"http://127.0.0.1/x/"_s << true;
        QTest::newRow("https") << u"https://127.0.0.1:49152"_s << false;
        QTest::newRow("name") << u"http://localhost:49152"_s << false;
        QTest::newRow("other address") << u"http://127.0.0.2"_s << false;
        QTest::newRow("look-alike name") << u"http://127.0.0.1.example.com"_s << false;
        QTest::newRow("fragment") << u"http://127.0.0.1/#a"_s << false;
        QTest::newRow("relative") << u"127.0.0.1:80"_s << false;
        QTest::newRow("unset") << QString() << false;
    }
    void isolatedHubOnlyOnLocalHTTP()
    {
        QFETCH(QString, base);
        QFETCH(bool, accepted);
        qputenv("QUORVANE_TEST_BASE", base.toUtf8());
        NoBrowser browser;
        try {
            const HomeyEndpoint endpoint = awaitTask(AppConfiguration::endpoint(browser, true));
            QVERIFY(accepted);
            QCOMPARE(endpoint, (HomeyEndpoint{QUrl(base), u"onboarding-test"_s, u"Testhomey"_s}));
        } catch (const HomeyError &error) {
            QVERIFY(!accepted);
            QCOMPARE(error, HomeyError::unreachable(u"het testnetwerk"_s));
        }
        qunsetenv("QUORVANE_TEST_BASE");
    }

    void isolatedServiceEndsInTheTestID()
    {
        QCOMPARE(AppConfiguration::serviceFor(false, u"x"_s), service);
        QCOMPARE(AppConfiguration::serviceFor(true, u"run-7"_s),
                 u"ai.velkor.quorvane.onboarding-test.run-7"_s);
        const QString generated = AppConfiguration::testIDFrom({u"quorvane"_s});
        QCOMPARE(generated, generated.toUpper());
    }
};

QTEST_GUILESS_MAIN(TstRunConfiguration)
#include "tst_runconfiguration.moc"
