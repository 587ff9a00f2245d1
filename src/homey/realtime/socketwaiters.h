#pragma once

#include "base/async/oneshot.h"
#include "homey/model/homeyerror.h"

#include <chrono>
#include <map>
#include <optional>
#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>

// What the handshake waits for: protocol milestones, answers to requests with an acknowledgement, and the
// subscription requests still unanswered. Every waiter is answered exactly once: by its answer, by its
// time-out or by failAll(). A waiter is registered before the frame that provokes its answer goes out.
class SocketWaiters {
public:
    struct WaitKey {
        bool engineOpen = false;
        QString nameSpace; // of a Socket.IO CONNECT

        static WaitKey open() { return {true, {}}; }
        static WaitKey connected(const QString &nameSpace) { return {false, nameSpace}; }
        bool operator<(const WaitKey &other) const
        {
            return engineOpen != other.engineOpen ? engineOpen < other.engineOpen
                                                  : nameSpace < other.nameSpace;
        }
    };

    explicit SocketWaiters(std::chrono::milliseconds timeout) : m_timeout(timeout) {}
    SocketWaiters(const SocketWaiters &) = delete;
    SocketWaiters &operator=(const SocketWaiters &) = delete;

    // Fails with "de Homey reageerde niet op tijd" when the milestone does not come in time.
    OneShot<bool> expect(const WaitKey &key);
    void reached(const WaitKey &key);
    // Fails with "de Homey antwoordde niet op de handshake" when the answer does not come in time.
    OneShot<QByteArray> expectAck(qint64 id);
    void forgetAck(qint64 id);
    // An ACK packet: it counts as the answer to a subscription request, or goes to its waiter.
    void acknowledged(std::optional<qint64> id, const QByteArray &payload);
    // Both tables; the subscription requests are left alone.
    void failAll(const HomeyError &error);

    // One subscription pass: its ids go in before their frames go out.
    void beginSubscriptions();
    void addSubscription(qint64 id);
    // Resolved as soon as no request of the pass is left unanswered, or when the window has passed.
    OneShot<bool> subscriptionsAnswered(std::chrono::milliseconds window);
    // Unanswered requests are given up: the pass decides on the answers counted so far.
    void forgetSubscriptions();
    qint64 subscribeOK() const { return m_subscribeOK; }

private:
    template <typename T> struct Waiter {
        OneShot<T> shot;
        quint64 serial = 0;
    };

    void expire(const WaitKey &key, quint64 serial);
    void expireAck(qint64 id, quint64 serial);

    std::chrono::milliseconds m_timeout;
    std::map<WaitKey, Waiter<bool>> m_waiters;
    std::map<qint64, Waiter<QByteArray>> m_ackWaiters;
    quint64 m_serial = 0;
    QSet<qint64> m_pendingSubscribes;
    qint64 m_subscribeOK = 0;
    OneShot<bool> m_subscriptionsAnswered;
    // The time-out timers' context: they go with the tables.
    QObject m_timers;
};
