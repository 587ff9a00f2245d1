#include "homey/auth/tokenstore.h"
#include "platform/secretservicetokenstore.h"
#include "stalledsecretservice.h"

#include <awaittask.h>
#include <functional>
#include <QCoroSignal>
#include <qt6keychain/keychain.h>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// Runs against whatever the session offers: no bus at all (the plain ctest run), a real unlocked
// gnome-keyring ("real") or a service that never answers ("stalled"); see run-secretservice.sh.
namespace {

QString mode()
{
    return qEnvironmentVariable("QUORVANE_KEYRING");
}

const QString testService = u"ai.velkor.quorvane.onboarding-test.abc"_s;

using Operation = std::function<QCoro::Task<>(TokenStore &)>;

QCoro::Task<> loadAndDrop(TokenStore &store)
{
    co_await store.load(TokenStore::defaultService);
}

// Writes raw bytes the way another program might have left them.
QCoro::Task<> writeRaw(QByteArray data, QString service)
{
    auto *job = new QKeychain::WritePasswordJob(service);
    job->setKey(TokenStore::account);
    job->setBinaryData(data);
    job->start();
    const auto finished = co_await qCoro(job, &QKeychain::Job::finished, 5s);
    if (!finished || job->error() != QKeychain::NoError)
        throw std::runtime_error("raw write failed");
}

KeychainError::Kind failureKind(const Operation &operation, TokenStore &store,
                                std::chrono::milliseconds bound, int *status = nullptr)
{
    try {
        awaitTask(operation(store), bound);
    } catch (const KeychainError &error) {
        if (status)
            *status = error.status();
        return error.kind();
    }
    throw std::runtime_error("the operation did not fail");
}

const std::optional<QString> NoToken;

} // namespace

#define REQUIRE_REAL_KEYRING()                                                                               \
    do {                                                                                                     \
        if (mode() != "real"_L1)                                                                             \
            QSKIP("needs a real Secret Service (run-secretservice.sh)");                                     \
    } while (false)

Q_DECLARE_METATYPE(Operation)

class TestSecretServiceStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noServiceIsDenied_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::newRow("load") << Operation(loadAndDrop);
        QTest::newRow("save") << Operation([](TokenStore &s) { return s.save(u"token"_s, testService); });
        QTest::newRow("clear") << Operation(
            [](TokenStore &s) { return s.clear(TokenStore::defaultService); });
    }
    void noServiceIsDenied()
    {
        if (!mode().isEmpty())
            QSKIP("needs a process without a session bus");
        QFETCH(Operation, operation);
        // A time-out far beyond the wait: the refusal has to come from the missing service itself.
        SecretServiceTokenStore store(60s);
        QCOMPARE(failureKind(operation, store, 20s), KeychainError::Kind::Denied);
    }

    void missingItemIsNoToken()
    {
        REQUIRE_REAL_KEYRING();
        SecretServiceTokenStore store;
        QCOMPARE(awaitTask(store.load(u"ai.velkor.quorvane.never-saved"_s)), NoToken);
    }

    void saveReplacesAndClearForgets()
    {
        REQUIRE_REAL_KEYRING();
        SecretServiceTokenStore store;
        awaitTask(store.save(u"eerste"_s, testService));
        QCOMPARE(awaitTask(store.load(testService)), std::optional(u"eerste"_s));
        awaitTask(store.save(u"tweede \u00e9\u2713"_s, testService));
        QCOMPARE(awaitTask(store.load(testService)), std::optional(u"tweede \u00e9\u2713"_s));
        awaitTask(store.clear(testService));
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
        awaitTask(store.clear(testService)); // already gone: still done
    }

    void servicesAreSeparate()
    {
        REQUIRE_REAL_KEYRING();
        SecretServiceTokenStore store;
        awaitTask(store.save(u"standaard"_s, TokenStore::defaultService));
        awaitTask(store.save(u"proef"_s, testService));
        QCOMPARE(awaitTask(store.load(TokenStore::defaultService)), std::optional(u"standaard"_s));
        QCOMPARE(awaitTask(store.load(testService)), std::optional(u"proef"_s));
        awaitTask(store.clear(testService));
        QCOMPARE(awaitTask(store.load(TokenStore::defaultService)), std::optional(u"standaard"_s));
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
        awaitTask(store.clear(TokenStore::defaultService));
    }

    void unusableDataIsNoToken_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not utf-8") << QByteArray("\xff\xfetoken");
        QTest::newRow("overlong encoding") << QByteArray("\xc0\xaf");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
        QTest::newRow("cut in a sequence") << QByteArray("token\xe2\x9c");
    }
    void unusableDataIsNoToken()
    {
        REQUIRE_REAL_KEYRING();
        QFETCH(QByteArray, data);
        SecretServiceTokenStore store;
        awaitTask(writeRaw(data, testService));
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
        awaitTask(store.clear(testService));
    }

    void emptyTokenIsNoToken()
    {
        REQUIRE_REAL_KEYRING();
        SecretServiceTokenStore store;
        awaitTask(store.save(QString(), testService));
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
        awaitTask(store.clear(testService));
    }

    void stalledServiceIsDeniedAfterTimeout()
    {
        if (mode() != "stalled"_L1)
            QSKIP("needs a private session bus without a Secret Service (run-secretservice.sh)");
        StalledSecretService service(QDBusConnection::sessionBus());
        QVERIFY(service.registered());

        SecretServiceTokenStore hasty(200ms);
        QCOMPARE(failureKind([](TokenStore &s) { return s.save(u"token"_s, testService); }, hasty, 10s),
                 KeychainError::Kind::Denied);
        QVERIFY(service.heldCalls() > 0);

        // The abandoned request now finishes after its caller gave up; the next one waits its turn
        // behind it and sees the service's own failure.
        service.release();
        SecretServiceTokenStore patient(10s);
        int status = 0;
        QCOMPARE(failureKind(loadAndDrop, patient, 20s, &status), KeychainError::Kind::Unhandled);
        QCOMPARE(status, int(QKeychain::OtherError));
    }
};

QTEST_GUILESS_MAIN(TestSecretServiceStore)
#include "tst_secretservicestore.moc"
