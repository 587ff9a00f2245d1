#include "app/appconfigurationlookup.h"
#include "app/onboarding.h"
#include "awaittask.h"
#include "homey/auth/keychainerror.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"

#include <QCoroTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

const HomeyEndpoint hub{QUrl(u"http://192.168.1.5"_s), u"hub-1"_s, u"Thuis"_s};

struct Calls {
    QStringList validated;
    QStringList persisted;
};

// Steps that record their calls; each throws `failure` when it names that step.
struct Steps {
    std::shared_ptr<Calls> calls = std::make_shared<Calls>();
    QString failing;
    std::exception_ptr failure;

    Onboarding::ResolveStep resolve() const
    {
        return [failing = failing, failure = failure]() -> QCoro::Task<HomeyEndpoint> {
            return resolveStep(failing == u"resolve"_s ? failure : nullptr);
        };
    }
    Onboarding::ValidateStep validate() const
    {
        return [calls = calls, failing = failing, failure = failure](QUrl url, QString token) {
            calls->validated.append(url.toString() + u" "_s + token);
            return identityStep(failing == u"validate"_s ? failure : nullptr);
        };
    }
    Onboarding::PersistStep persist() const
    {
        return [calls = calls, failing = failing, failure = failure](QString token, HomeyEndpoint endpoint) {
            calls->persisted.append(token + u" "_s + endpoint.homeyID);
            return persistStep(failing == u"persist"_s ? failure : nullptr);
        };
    }

    static QCoro::Task<HomeyEndpoint> resolveStep(std::exception_ptr failure)
    {
        if (failure)
            std::rethrow_exception(failure);
        co_return hub;
    }
    static QCoro::Task<HomeyIdentity> identityStep(std::exception_ptr failure)
    {
        if (failure)
            std::rethrow_exception(failure);
        co_return HomeyIdentity();
    }
    static QCoro::Task<> persistStep(std::exception_ptr failure)
    {
        if (failure)
            std::rethrow_exception(failure);
        co_return;
    }
};

QCoro::Task<HomeyEndpoint> slowResolve()
{
    QTimer timer;
    timer.start(50);
    co_await qCoro(timer).waitForTimeout();
    co_return hub;
}

} // namespace

class TstOnboarding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QFile::remove(SettingsStore::standard().filePath()); }

    void saveStopsAtTheFirstFailure_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("validated");
        QTest::addColumn<int>("persisted");
        QTest::newRow("resolve") << u"resolve"_s << 0 << 0;
        QTest::newRow("validate") << u"validate"_s << 1 << 0;
        QTest::newRow("persist") << u"persist"_s << 1 << 1;
    }
    void saveStopsAtTheFirstFailure()
    {
        QFETCH(QString, failing);
        QFETCH(int, validated);
        QFETCH(int, persisted);
        Onboarding onboarding;
        Steps steps{.failing = failing, .failure = std::make_exception_ptr(HomeyError::unauthorized())};
        const auto result =
            awaitTask(onboarding.save(u"key"_s, steps.resolve(), steps.validate(), steps.persist()));
        QCOMPARE(result, std::optional<HomeyEndpoint>());
        QCOMPARE(onboarding.message(), std::optional(Onboarding::explain(HomeyError::unauthorized())));
        QCOMPARE(steps.calls->validated.size(), validated);
        QCOMPARE(steps.calls->persisted.size(), persisted);
        QVERIFY(!onboarding.busy());
        QVERIFY(!onboarding.hasToken());
    }

    void saveUsesTheTrimmedKey()
    {
        Onboarding onboarding;
        onboarding.setMessage(u"oud"_s);
        Steps steps;
        const auto result =
            awaitTask(onboarding.save(u"  key \n"_s, steps.resolve(), steps.validate(), steps.persist()));
        QCOMPARE(result, std::optional(hub));
        QCOMPARE(steps.calls->validated, QStringList{u"http://192.168.1.5 key"_s});
        QCOMPARE(steps.calls->persisted, QStringList{u"key hub-1"_s});
        QVERIFY(onboarding.hasToken());
        QVERIFY(!onboarding.busy());
        QCOMPARE(onboarding.message(), std::optional<QString>());
    }

    void blankKeyAndOverlappingSaveAreRefused()
    {
        Onboarding onboarding;
        Steps steps;
        QCOMPARE(awaitTask(onboarding.save(u" \n\t"_s, steps.resolve(), steps.validate(), steps.persist())),
                 std::optional<HomeyEndpoint>());
        QCOMPARE(onboarding.message(), std::optional(u"Plak eerst je API-sleutel."_s));
        QVERIFY(!onboarding.busy());

        QCoro::Task<std::optional<HomeyEndpoint>> first =
            onboarding.save(u"one"_s, slowResolve, steps.validate(), steps.persist());
        QVERIFY(onboarding.busy());
        QSignalSpy messages(&onboarding, &Onboarding::messageChanged);
        QCOMPARE(awaitTask(onboarding.save(u"two"_s, steps.resolve(), steps.validate(), steps.persist())),
                 std::optional<HomeyEndpoint>());
        QCOMPARE(messages.count(), 0);
        QCOMPARE(awaitTask(std::move(first)), std::optional(hub));
        QCOMPARE(steps.calls->validated, QStringList{u"http://192.168.1.5 one"_s});
    }

    void propertiesAnnounceOnlyChanges()
    {
        Onboarding onboarding;
        QSignalSpy messages(&onboarding, &Onboarding::messageChanged);
        QSignalSpy showing(&onboarding, &Onboarding::showingChanged);
        onboarding.setMessage(u"a"_s);
        onboarding.setMessage(u"a"_s);
        onboarding.setMessage(QString()); // empty is a text, not none
        onboarding.setMessage(std::nullopt);
        onboarding.setShowing(false);
        onboarding.setShowing(true);
        onboarding.setShowing(true);
        QCOMPARE(messages.count(), 3);
        QCOMPARE(showing.count(), 1);
    }

    void explainGivesAdvice_data()
    {
        QTest::addColumn<std::exception_ptr>("error");
        QTest::addColumn<QString>("expected");
        const auto with = [](const auto &error, const QString &advice) {
            return error.errorDescription() + u" "_s + advice;
        };
        QTest::newRow("decoding")
            << std::make_exception_ptr(HomeyError::decoding(u"x"_s))
            << u"Dit adres gaf geen herkenbaar Homey-antwoord. Probeer opnieuw of controleer je Homey."_s;
        QTest::newRow("not configured")
            << std::make_exception_ptr(HomeyError::notConfigured())
            << u"Geen Homey gevonden. Verbind je computer met hetzelfde netwerk als je Homey. Controleer ook "
               u"of de "
               u"firewall in de systeeminstellingen het lokale netwerk toelaat. Probeer daarna opnieuw."_s;
        const HomeyError unreachable = HomeyError::unreachable(u"het testnetwerk"_s);
        QTest::newRow("unreachable")
            << std::make_exception_ptr(unreachable)
            << with(unreachable,
                    u"Sta Quorvane toe je lokale netwerk te gebruiken (de firewall in de "
                    u"systeeminstellingen). Zonder die toestemming kan hij je Homey niet zien, ook al "
                    u"ben je thuis. Staat dat al aan? Controleer dan of je Homey aanstaat."_s);
        const HomeyError http = HomeyError::http(500, u"/api/x"_s);
        QTest::newRow("http") << std::make_exception_ptr(http)
                              << with(http,
                                      u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s);
        const HomeyError socket = HomeyError::socket(u"weg"_s);
        QTest::newRow("socket") << std::make_exception_ptr(socket)
                                << with(socket,
                                        u"Klik op Opnieuw proberen om opnieuw verbinding te maken."_s);
        const HomeyError offline = HomeyError::offline();
        QTest::newRow("offline")
            << std::make_exception_ptr(offline)
            << with(offline, u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s);
        const HomeyError unauthorized = HomeyError::unauthorized();
        QTest::newRow("unauthorized")
            << std::make_exception_ptr(unauthorized)
            << with(unauthorized, u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s);
        const KeychainError denied = KeychainError::denied();
        QTest::newRow("keyring denied")
            << std::make_exception_ptr(denied)
            << with(denied,
                    u"Ontgrendel de sleutelbos als daarom gevraagd wordt. Blijft het misgaan, koppel je "
                    u"Homey dan opnieuw."_s);
        const KeychainError unhandled = KeychainError::unhandled(-25300);
        QTest::newRow("keyring other") << std::make_exception_ptr(unhandled)
                                       << with(unhandled, u"Koppel je Homey opnieuw via Instellingen."_s);
        const QString other = u"Verbinden is niet gelukt. Controleer je netwerk en probeer opnieuw."_s;
        QTest::newRow("other exception") << std::make_exception_ptr(std::runtime_error("x")) << other;
        QTest::newRow("not an exception") << std::make_exception_ptr(42) << other;
    }
    void explainGivesAdvice()
    {
        QFETCH(std::exception_ptr, error);
        QFETCH(QString, expected);
        QCOMPARE(Onboarding::explain(error), expected);
    }

    void defaultPersistKeepsNothingAfterAKeyringFailure()
    {
        MemoryTokenStore store;
        store.failWith(KeychainError::denied());
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(Onboarding::defaultPersist(store)(u"key"_s, hub)));
        QVERIFY(!QFile::exists(SettingsStore::standard().filePath()));

        store.failWith(std::nullopt);
        awaitTask(Onboarding::defaultPersist(store)(u"key"_s, hub));
        QCOMPARE(awaitTask(store.load(u"ai.velkor.quorvane"_s)), std::optional(u"key"_s));
        const SettingsStore defaults = SettingsStore::standard();
        QCOMPARE(HomeyConfig::stored(defaults), std::optional(hub));
        QCOMPARE(defaults.boolValue(AppConfiguration::explicitCredentialsKey), std::optional(true));
    }
};

QTEST_GUILESS_MAIN(TstOnboarding)
#include "tst_onboarding.moc"
