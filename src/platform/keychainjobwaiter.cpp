#include "platform/keychainjobwaiter.h"

#include "platform/keychainturn.h"

#include <memory>
#include <QCoroSignal>
#include <qt6keychain/keychain.h>

QCoro::Task<std::optional<KeychainJobOutcome>>
KeychainJobWaiter::run(std::function<QKeychain::Job *()> makeJob, QDeadlineTimer deadline)
{
    const bool ourTurn = co_await KeychainTurn::wait(deadline);
    if (!ourTurn)
        co_return std::nullopt;

    QKeychain::Job *job = makeJob();
    KeychainTurn::instance().hold(job);
    auto waiter = std::make_unique<KeychainJobWaiter>();
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    QObject::connect(job, &QKeychain::Job::finished, waiter.get(),
                     [w = waiter.get()](QKeychain::Job *finished) {
                         KeychainJobOutcome outcome{finished->error(), finished->errorString(), {}};
                         if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(finished))
                             outcome.data = read->binaryData();
                         w->m_outcome = std::move(outcome);
                         Q_EMIT w->done();
                     });
    job->start(); // queued: nothing finishes before we wait
    if (!waiter->m_outcome && !deadline.hasExpired())
        co_await qCoro(waiter.get(), &KeychainJobWaiter::done, KeychainTurn::left(deadline));
    co_return waiter->m_outcome;
}
