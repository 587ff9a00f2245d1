#include "homey/realtime/socketwaiters.h"

#include "homey/realtime/realtimeframes.h"

#include <QTimer>
#include <utility>

using namespace Qt::StringLiterals;

OneShot<bool> SocketWaiters::expect(const WaitKey &key)
{
    // One waiter per milestone: an older one for the same key has lost its transport.
    const auto previous = m_waiters.find(key);
    if (previous != m_waiters.end()) {
        OneShot<bool> shot = previous->second.shot;
        m_waiters.erase(previous);
        shot.fail(HomeyError::socket(u"verbinding gesloten"_s));
    }
    const quint64 serial = ++m_serial;
    OneShot<bool> shot;
    m_waiters.emplace(key, Waiter<bool>{shot, serial});
    QTimer::singleShot(m_timeout, Qt::PreciseTimer, &m_timers, [this, key, serial] { expire(key, serial); });
    return shot;
}

void SocketWaiters::reached(const WaitKey &key)
{
    const auto found = m_waiters.find(key);
    if (found == m_waiters.end())
        return;
    OneShot<bool> shot = found->second.shot;
    m_waiters.erase(found);
    shot.resolve(true);
}

OneShot<QByteArray> SocketWaiters::expectAck(qint64 id)
{
    const quint64 serial = ++m_serial;
    OneShot<QByteArray> shot;
    m_ackWaiters.insert_or_assign(id, Waiter<QByteArray>{shot, serial});
    QTimer::singleShot(m_timeout, Qt::PreciseTimer, &m_timers, [this, id, serial] { expireAck(id, serial); });
    return shot;
}

void SocketWaiters::forgetAck(qint64 id)
{
    m_ackWaiters.erase(id);
}

void SocketWaiters::acknowledged(std::optional<qint64> id, const QByteArray &payload)
{
    if (!id)
        return;
    if (m_pendingSubscribes.remove(*id)) {
        if (RealtimeFrames::subscriptionAccepted(payload))
            ++m_subscribeOK;
        if (m_pendingSubscribes.isEmpty())
            m_subscriptionsAnswered.resolve(true);
        return;
    }
    const auto found = m_ackWaiters.find(*id);
    if (found == m_ackWaiters.end())
        return;
    OneShot<QByteArray> shot = found->second.shot;
    m_ackWaiters.erase(found);
    shot.resolve(payload);
}

void SocketWaiters::failAll(const HomeyError &error)
{
    auto waiters = std::exchange(m_waiters, {});
    auto ackWaiters = std::exchange(m_ackWaiters, {});
    for (auto &[key, waiter] : waiters)
        waiter.shot.fail(error);
    for (auto &[id, waiter] : ackWaiters)
        waiter.shot.fail(error);
}

void SocketWaiters::beginSubscriptions()
{
    forgetSubscriptions();
    m_subscribeOK = 0;
    m_subscriptionsAnswered = OneShot<bool>();
}

void SocketWaiters::addSubscription(qint64 id)
{
    m_pendingSubscribes.insert(id);
}

OneShot<bool> SocketWaiters::subscriptionsAnswered(std::chrono::milliseconds window)
{
    OneShot<bool> shot = m_subscriptionsAnswered;
    if (m_pendingSubscribes.isEmpty())
        shot.resolve(true);
    else
        QTimer::singleShot(window, Qt::PreciseTimer, &m_timers, [shot]() mutable { shot.resolve(false); });
    return shot;
}

void SocketWaiters::forgetSubscriptions()
{
    m_pendingSubscribes.clear();
    m_subscriptionsAnswered.resolve(true);
}

void SocketWaiters::expire(const WaitKey &key, quint64 serial)
{
    const auto found = m_waiters.find(key);
    if (found == m_waiters.end() || found->second.serial != serial)
        return;
    OneShot<bool> shot = found->second.shot;
    m_waiters.erase(found);
    shot.fail(HomeyError::socket(u"de Homey reageerde niet op tijd"_s));
}

void SocketWaiters::expireAck(qint64 id, quint64 serial)
{
    const auto found = m_ackWaiters.find(id);
    if (found == m_ackWaiters.end() || found->second.serial != serial)
        return;
    OneShot<QByteArray> shot = found->second.shot;
    m_ackWaiters.erase(found);
    shot.fail(HomeyError::socket(u"de Homey antwoordde niet op de handshake"_s));
}
