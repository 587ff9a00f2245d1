#include "platform/secretservicetokenstore.h"

#include "platform/keychainjobwaiter.h"

#include <QCoroDBusPendingCall>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringDecoder>
#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace {

enum class Op { Load, Save, Clear };

// QtKeychain reports a missing service as OtherError; only the bus can tell that apart from a real failure.
QCoro::Task<bool> secretServiceReachable(std::chrono::milliseconds timeout)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
                                                      u"org.freedesktop.DBus"_s, u"NameHasOwner"_s);
    ask << u"org.freedesktop.secrets"_s;
    const QDBusPendingCall pending = bus.asyncCall(ask, int(timeout.count()));
    const QDBusMessage reply = co_await pending;
    co_return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
        reply.arguments().constFirst().toBool();
}

enum class Verdict { Done, Denied, Unhandled, TimedOut, DependsOnService };

// A missing item is success for load and clear.
Verdict verdictOf(const std::optional<KeychainJobOutcome> &outcome, Op op)
{
    if (!outcome)
        return Verdict::TimedOut;
    switch (outcome->error) {
    case QKeychain::NoError:
        return Verdict::Done;
    case QKeychain::EntryNotFound:
        return op == Op::Save ? Verdict::Unhandled : Verdict::Done;
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
    case QKeychain::NoBackendAvailable:
        return Verdict::Denied;
    case QKeychain::OtherError:
        return Verdict::DependsOnService;
    default:
        return Verdict::Unhandled;
    }
}

// Throws for every outcome that is no success. (No co_await inside conditions: g++ 12 miscompiles them.)
QCoro::Task<> judge(std::optional<KeychainJobOutcome> outcome, Op op)
{
    Verdict verdict = verdictOf(outcome, op);
    if (verdict == Verdict::DependsOnService) {
        // Asked of the bus daemon, which answers at once even while the keyring waits on a prompt.
        const bool reachable = co_await secretServiceReachable(std::chrono::seconds(1));
        verdict = reachable ? Verdict::Unhandled : Verdict::Denied;
    }
    if (verdict == Verdict::TimedOut)
        throw KeychainError::timedOut();
    if (verdict == Verdict::Denied)
        throw KeychainError::denied();
    if (verdict == Verdict::Unhandled)
        throw KeychainError::unhandled(outcome->error);
}

std::optional<QString> strictUtf8(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(data);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

SecretServiceTokenStore::SecretServiceTokenStore(std::chrono::milliseconds timeout) : m_timeout(timeout) {}

QCoro::Task<std::optional<QString>> SecretServiceTokenStore::load(QString service)
{
    const QDeadlineTimer deadline(m_timeout);
    // Named: g++ 12 destroys the captures of a lambda written inside a co_await expression twice.
    const auto makeJob = [service]() -> QKeychain::Job * {
        auto *job = new QKeychain::ReadPasswordJob(service);
        job->setKey(TokenStore::account);
        return job;
    };
    const auto outcome = co_await KeychainJobWaiter::run(makeJob, deadline);
    co_await judge(outcome, Op::Load);
    if (outcome->error != QKeychain::NoError)
        co_return std::nullopt;
    co_return strictUtf8(outcome->data);
}

QCoro::Task<> SecretServiceTokenStore::save(QString token, QString service)
{
    const QDeadlineTimer deadline(m_timeout);
    const auto makeJob = [token, service]() -> QKeychain::Job * {
        auto *job = new QKeychain::WritePasswordJob(service);
        job->setKey(TokenStore::account);
        job->setTextData(token);
        return job;
    };
    const auto outcome = co_await KeychainJobWaiter::run(makeJob, deadline);
    co_await judge(outcome, Op::Save);
}

QCoro::Task<> SecretServiceTokenStore::clear(QString service)
{
    const QDeadlineTimer deadline(m_timeout);
    const auto makeJob = [service]() -> QKeychain::Job * {
        auto *job = new QKeychain::DeletePasswordJob(service);
        job->setKey(TokenStore::account);
        return job;
    };
    const auto outcome = co_await KeychainJobWaiter::run(makeJob, deadline);
    co_await judge(outcome, Op::Clear);
}
