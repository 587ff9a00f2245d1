#include "app/appconfigurationlookup.h"
#include "app/onboarding.h"
#include "awaittask.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"

#include <QCoroTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::exception_ptr)

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

const HomeyEndpoint hub{QUrl(u"http://192.168.1.5"_s), u"hub-1"_s, u"Thuis"_s};

template <typename T> QCoro::Task<T> answer(T value, bool fail, int delayMs = 0)
{
    if (delayMs > 0) {
        QTimer timer;
        timer.start(delayMs);
        co_await qCoro(timer).waitForTimeout();
    }
    if (fail)
        throw HomeyError::unauthorized();
    co_return value;
}

QCoro::Task<> done(bool fail)
{
    co_await answer(0, fail);
}

// The three steps of a save, recording what reached them; `failing` names the one that throws.
struct Steps {
    QString failing;
    int resolveDelayMs = 0;
    std::shared_ptr<QStringList> calls = std::make_shared<QStringList>();

    QCoro::Task<std::optional<HomeyEndpoint>> save(Onboarding &onboarding, const QString &key) const
    {
        const auto resolve = [this] { return answer(hub, failing == u"resolve"_s, resolveDelayMs); };
        const auto validate = [this](QUrl url, QString token) {
            calls->append(u"validate "_s + url.toString() + u" "_s + token);
            return answer(HomeyIdentity(), failing == u"validate"_s);
        };
        const auto persist = [this](QString token, HomeyEndpoint endpoint) -> QCoro::Task<> {
            calls->append(u"persist "_s + token + u" "_s + endpoint.homeyID);
            return done(failing == u"persist"_s);
        };
        return onboarding.save(key, resolve, validate, persist);
    }
};

} // namespace

// The run's look-ups of token and hub, and the onboarding model that uses them.
class TstOnboarding : public QObject {
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
        SettingsStore::flushAll(); // a write of the test may still be on its way to the file
        QFile::remove(SettingsStore::standard().filePath());
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
        auto store = std::make_shared<MemoryTokenStore>();
        if (!stored.isEmpty())
            awaitTask(store->save(stored, service));
        if (tool)
            writeToolToken();
        if (explicitCredentials)
            SettingsStore::standard().setValue(AppConfiguration::explicitCredentialsKey, true);
        QCOMPARE(awaitTask(AppConfiguration::token(store, isolated, service, environment)), expected);
    }

    void keyringFailureIsPassedOn()
    {
        auto store = std::make_shared<MemoryTokenStore>();
        writeToolToken();
        store->failWith(KeychainError::denied());
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(AppConfiguration::token(store, false, service)));
    }

    void isolatedHubOnlyOnLocalHTTP_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("port") << u"http://127.0.0.1:49152"_s << true;
        QTest::newRow("https") << u"https://127.0.0.1:49152"_s << false;
        QTest::newRow("name") << u"http://localhost:49152"_s << false;
        QTest::newRow("look-alike name") << u"http://127.0.0.1.example.com"_s << false;
        QTest::newRow("fragment") << u"http://127.0.0.1/#a"_s << false;
        QTest::newRow("unset") << QString() << false;
    }
    void isolatedHubOnlyOnLocalHTTP()
    {
        QFETCH(QString, base);
        QFETCH(bool, accepted);
        qputenv("QUORVANE_TEST_BASE", base.toUtf8());
        try {
            const HomeyEndpoint endpoint =
                awaitTask(AppConfiguration::endpoint(std::make_shared<NoBrowser>(), true));
            QVERIFY(accepted);
            QCOMPARE(endpoint, (HomeyEndpoint{QUrl(base), u"onboarding-test"_s, u"Testhomey"_s}));
        } catch (const HomeyError &error) {
            QVERIFY(!accepted);
            QCOMPARE(error, HomeyError::unreachable(u"het testnetwerk"_s));
        }
        qunsetenv("QUORVANE_TEST_BASE");
    }

    void generatedTestIDIsUpperCase()
    {
        const QString generated = AppConfiguration::testIDFrom({u"quorvane"_s});
        QCOMPARE(generated, generated.toUpper());
    }

    void saveStopsAtTheFirstFailure_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("calls");
        QTest::newRow("resolve") << u"resolve"_s << 0;
        QTest::newRow("validate") << u"validate"_s << 1;
        QTest::newRow("persist") << u"persist"_s << 2;
    }
    void saveStopsAtTheFirstFailure()
    {
        QFETCH(QString, failing);
        QFETCH(int, calls);
        Onboarding onboarding;
        const Steps steps{failing};
        QCOMPARE(awaitTask(steps.save(onboarding, u"key"_s)), std::optional<HomeyEndpoint>());
        QCOMPARE(onboarding.message(), std::optional(Onboarding::explain(HomeyError::unauthorized())));
        QCOMPARE(steps.calls->size(), calls);
        QVERIFY(!onboarding.busy());
        QVERIFY(!onboarding.hasToken());
    }

    void saveUsesTheTrimmedKeyOnce()
    {
        Onboarding onboarding;
        onboarding.setMessage(u"oud"_s);
        QCOMPARE(awaitTask(Steps().save(onboarding, u" \n\t"_s)), std::optional<HomeyEndpoint>());
        QCOMPARE(onboarding.message(), std::optional(u"Plak eerst je API-sleutel."_s));

        Steps steps;
        steps.resolveDelayMs = 50;
        QCoro::Task<std::optional<HomeyEndpoint>> first = steps.save(onboarding, u"  key \n"_s);
        QVERIFY(onboarding.busy());
        QCOMPARE(onboarding.message(), std::optional<QString>());
        QSignalSpy messages(&onboarding, &Onboarding::messageChanged);
        QCOMPARE(awaitTask(steps.save(onboarding, u"other"_s)), std::optional<HomeyEndpoint>());
        QCOMPARE(messages.count(), 0);

        QCOMPARE(awaitTask(std::move(first)), std::optional(hub));
        QCOMPARE(*steps.calls, (QStringList{u"validate http://192.168.1.5 key"_s, u"persist key hub-1"_s}));
        QVERIFY(onboarding.hasToken());
        QVERIFY(!onboarding.busy());
    }

    void propertiesAnnounceOnlyChanges()
    {
        Onboarding onboarding;
        QSignalSpy messages(&onboarding, &Onboarding::messageChanged);
        onboarding.setMessage(u"a"_s);
        onboarding.setMessage(u"a"_s);
        onboarding.setMessage(QString()); // an empty text is not none
        onboarding.setMessage(std::nullopt);
        QCOMPARE(messages.count(), 3);
    }

    void explainAddsAdviceToTheDescription_data()
    {
        QTest::addColumn<std::exception_ptr>("error");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const auto &error, const QString &advice) {
            QTest::newRow(name) << std::make_exception_ptr(error)
                                << error.errorDescription() + u" "_s + advice;
        };
        QTest::newRow("decoding")
            << std::make_exception_ptr(HomeyError::decoding(u"x"_s))
            << u"Dit adres gaf geen herkenbaar Homey-antwoord. Probeer opnieuw of controleer je Homey."_s;
        QTest::newRow("not configured")
            << std::make_exception_ptr(HomeyError::notConfigured())
            << u"Geen Homey gevonden. Controleer of je Homey aanstaat en of je computer op hetzelfde netwerk "
               u"zit als je Homey. Staat er een firewall aan, kijk dan of die de verbinding met je Homey "
               u"niet blokkeert. Probeer daarna opnieuw."_s;
        row("unreachable", HomeyError::unreachable(u"het testnetwerk"_s),
            u"Controleer of je Homey aanstaat en of je computer op hetzelfde netwerk zit als je Homey. Staat "
            u"er een firewall aan, kijk dan of die de verbinding met je Homey niet blokkeert."_s);
        row("http", HomeyError::http(500, u"/api/x"_s),
            u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s);
        row("socket", HomeyError::socket(u"weg"_s),
            u"Klik op Opnieuw proberen om opnieuw verbinding te maken."_s);
        row("offline", HomeyError::offline(),
            u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s);
        row("unauthorized", HomeyError::unauthorized(),
            u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s);
        row("keyring denied", KeychainError::denied(),
            u"Ontgrendel de sleutelbos als daarom gevraagd wordt. Blijft het misgaan, koppel je Homey dan "
            u"opnieuw."_s);
        row("keyring failure", KeychainError::unhandled(-25300),
            u"Koppel je Homey opnieuw via Instellingen."_s);
        row("keyring silent", KeychainError::timedOut(), u"Koppel je Homey opnieuw via Instellingen."_s);
        const QString other = u"Verbinden is niet gelukt. Controleer je netwerk en probeer opnieuw."_s;
        QTest::newRow("other exception") << std::make_exception_ptr(std::runtime_error("x")) << other;
        QTest::newRow("not an exception") << std::make_exception_ptr(42) << other;
    }
    void explainAddsAdviceToTheDescription()
    {
        QFETCH(std::exception_ptr, error);
        QFETCH(QString, text);
        QCOMPARE(Onboarding::explain(error), text);
    }

    void defaultPersistKeepsNothingAfterAKeyringFailure()
    {
        auto store = std::make_shared<MemoryTokenStore>();
        store->failWith(KeychainError::denied());
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(Onboarding::defaultPersist(store)(u"key"_s, hub)));
        QVERIFY(!QFile::exists(SettingsStore::standard().filePath()));

        store->failWith(std::nullopt);
        awaitTask(Onboarding::defaultPersist(store)(u"key"_s, hub));
        QCOMPARE(awaitTask(store->load(u"ai.velkor.quorvane"_s)), std::optional(u"key"_s));
        const SettingsStore defaults = SettingsStore::standard();
        QCOMPARE(HomeyConfig::stored(defaults), std::optional(hub));
        QCOMPARE(defaults.boolValue(AppConfiguration::explicitCredentialsKey), std::optional(true));
    }
};

QTEST_GUILESS_MAIN(TstOnboarding)
#include "tst_onboarding.moc"
