#include "platform/keychainturn.h"

#include <QCoroSignal>

using namespace std::chrono_literals;

KeychainTurn &KeychainTurn::instance()
{
    // Leaked on purpose: a job may still be running when the program ends.
    static KeychainTurn *const turn = new KeychainTurn;
    return *turn;
}

QCoro::Task<bool> KeychainTurn::wait(QDeadlineTimer deadline)
{
    KeychainTurn &turn = instance();
    while (turn.m_taken) {
        if (deadline.hasExpired())
            co_return false;
        co_await qCoro(&turn, &KeychainTurn::freed, left(deadline));
    }
    co_return true;
}

void KeychainTurn::hold(QObject *job)
{
    m_taken = true;
    connect(job, &QObject::destroyed, this, [this] {
        m_taken = false;
        Q_EMIT freed();
    });
}

std::chrono::milliseconds KeychainTurn::left(const QDeadlineTimer &deadline)
{
    return std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline.remainingTimeAsDuration()), 1ms);
}
