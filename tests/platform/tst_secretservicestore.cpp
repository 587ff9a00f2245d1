#include "homey/auth/tokenstore.h"
#include "platform/secretservicetokenstore.h"
#include "stalledsecretservice.h"

#include <awaittask.h>
#include <functional>
#include <QCoreApplication>
#include <QCoroSignal>
#include <QDateTime>
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
const std::optional<QString> NoToken;

using Operation = std::function<QCoro::Task<>(std::shared_ptr<TokenStore>)>;
using Call = std::function<QCoro::Task<>(TokenStore &, QString token, QString service)>;

QCoro::Task<> loadAndDrop(std::shared_ptr<TokenStore> store)
{
    co_await store->load(TokenStore::defaultService);
}

QCoro::Task<> saveToken(std::shared_ptr<TokenStore> store)
{
    co_await store->save(u"token"_s, testService);
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

KeychainError failure(const Operation &operation, std::chrono::milliseconds storeTimeout)
{
    try {
        awaitTask(operation(std::make_shared<SecretServiceTokenStore>(storeTimeout)), 20s);
    } catch (const KeychainError &error) {
        return error;
    }
    throw std::runtime_error("the operation did not fail");
}

} // namespace

#define REQUIRE_MODE(wanted)                                                                                 \
    do {                                                                                                     \
        if (mode() != wanted##_L1)                                                                           \
            QSKIP("runs inside run-secretservice.sh");                                                       \
    } while (false)

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Call)

class TestSecretServiceStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noServiceIsDenied_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::newRow("load") << Operation(loadAndDrop);
        QTest::newRow("save") << Operation(saveToken);
        QTest::newRow("clear") << Operation([](auto s) { return s->clear(TokenStore::defaultService); });
    }
    void noServiceIsDenied()
    {
        if (!mode().isEmpty())
            QSKIP("needs a process without a session bus");
        QFETCH(Operation, operation);
        // A time-out far beyond the wait: the refusal has to come from the missing service itself.
        QCOMPARE(failure(operation, 60s), KeychainError::denied());
    }

    void saveLoadClear()
    {
        REQUIRE_MODE("real");
        SecretServiceTokenStore store;
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
        awaitTask(store.save(u"eerste"_s, testService));
        awaitTask(store.save(u"standaard"_s, TokenStore::defaultService));
        QCOMPARE(awaitTask(store.load(testService)), std::optional(u"eerste"_s));
        awaitTask(store.save(u"tweede \u00e9\u2713"_s, testService));
        QCOMPARE(awaitTask(store.load(testService)), std::optional(u"tweede \u00e9\u2713"_s));
        awaitTask(store.clear(testService));
        awaitTask(store.clear(testService)); // already gone: still done
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
        QCOMPARE(awaitTask(store.load(TokenStore::defaultService)), std::optional(u"standaard"_s));
        awaitTask(store.save(QString(), TokenStore::defaultService));
        QCOMPARE(awaitTask(store.load(TokenStore::defaultService)), NoToken);
    }

    // Strings made at run time, so reference counted, each with a second owner: a call that drops a
    // reference it never took lets the second owner's buffer be freed under it later.
    void callsLeaveTheCallersStringsAlone_data()
    {
        QTest::addColumn<Call>("call");
        QTest::newRow("save") << Call([](TokenStore &s, QString token, QString service) {
            return s.save(std::move(token), std::move(service));
        });
        QTest::newRow("load") << Call([](TokenStore &s, QString, QString service) -> QCoro::Task<> {
            co_await s.load(std::move(service));
        });
        QTest::newRow("clear") << Call(
            [](TokenStore &s, QString, QString service) { return s.clear(service); });
    }
    void callsLeaveTheCallersStringsAlone()
    {
        if (mode() == "stalled"_L1)
            QSKIP("waits for the service's time-out");
        QFETCH(Call, call);
        QString token = u"token-"_s + QString::number(QDateTime::currentMSecsSinceEpoch());
        QString service = testService + u'.' + QString::number(QCoreApplication::applicationPid());
        QString tokenOwner = token;
        QString serviceOwner = service;
        SecretServiceTokenStore store;
        try {
            awaitTask(call(store, token, service), 20s);
        } catch (const KeychainError &) {
            // Without a service the call fails; the strings it took must still be handed back.
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // finished keyring jobs
        QVERIFY(!token.isDetached());
        QVERIFY(!service.isDetached());
        tokenOwner.clear();
        serviceOwner.clear();
        QVERIFY(token.isDetached());
        QVERIFY(service.isDetached());
    }

    void unusableDataIsNoToken_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("not utf-8") << QByteArray("\xff\xfetoken");
        QTest::newRow("overlong encoding") << QByteArray("\xc0\xaf");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
        QTest::newRow("cut in a sequence") << QByteArray("token\xe2\x9c");
    }
    void unusableDataIsNoToken()
    {
        REQUIRE_MODE("real");
        QFETCH(QByteArray, data);
        SecretServiceTokenStore store;
        awaitTask(writeRaw(data, testService));
        QCOMPARE(awaitTask(store.load(testService)), NoToken);
    }

    void stalledServiceTimesOutAndNoAbandonedCallRunsLater()
    {
        REQUIRE_MODE("stalled");
        StalledSecretService service(QDBusConnection::sessionBus());
        QVERIFY(service.registered());
        const auto clear = [](QString service) {
            return Operation([service](auto s) { return s->clear(service); });
        };

        QCOMPARE(failure(saveToken, 200ms), KeychainError::timedOut());
        QVERIFY(service.heldCalls() > 0);
        // This one waits behind the first. Its caller is told it failed, so it must never run: run later,
        // it would delete a token saved meanwhile.
        QCOMPARE(failure(clear(u"abandoned"_s), 200ms), KeychainError::timedOut());

        // The first job now ends; the next call runs after it and sees the service's own failure.
        service.release();
        QCOMPARE(failure(clear(u"later"_s), 10s), KeychainError::unhandled(QKeychain::OtherError));
        QCOMPARE(service.searchedServices(), QStringList{u"later"_s});
    }
};

QTEST_GUILESS_MAIN(TestSecretServiceStore)
#include "tst_secretservicestore.moc"
