// HomeySocket: the health check, the loss of a transport, reconnection and teardown.
#include "base/async/sleep.h"
#include "base/log.h"
#include "homey/realtime/homeysocket.h"
#include "homey/realtime/socketlink.h"

using namespace Qt::StringLiterals;

namespace {

void logFailure(const QString &where, std::exception_ptr error)
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const HomeyError &e) {
        text = e.errorDescription();
    } catch (const std::exception &e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = u"onbekende fout"_s;
    }
    Log::shared().write(u"!! live-verbinding, "_s + where + u": "_s + text);
}

} // namespace

void HomeySocket::transportFailed(const QString &reason)
{
    if (!m_running)
        return;
    yield(HomeyEvent::Disconnected{reason});
    teardown(false);
    scheduleReconnect();
}

void HomeySocket::teardown(bool finishStream)
{
    ++m_transportGeneration;
    // Frames of the old transport stop here, before anything is failed.
    if (SocketLink *link = std::exchange(m_link, nullptr)) {
        link->close();
        link->deleteLater();
    }
    if (m_health) {
        m_health->cancel();
        m_health.reset();
    }
    m_waiters.failAll(closed());
    m_waiters.forgetSubscriptions();
    m_namespace = u"/"_s;
    if (finishStream) {
        cancelReconnect();
        if (auto channel = std::exchange(m_channel, nullptr))
            channel->finish();
    }
}

void HomeySocket::startHealthLoop()
{
    if (m_health)
        m_health->cancel();
    m_health.emplace();
    healthLoop(m_self, *m_health);
}

QCoro::Task<> HomeySocket::healthLoop(Weak weak, CancelToken token)
{
    try {
        for (;;) {
            std::chrono::milliseconds interval;
            {
                const std::shared_ptr<HomeySocket> self = weak.lock();
                if (!self || token.isCancelled())
                    co_return;
                interval = self->m_timing.healthInterval;
            }
            co_await sleepFor(interval, token);

            QPointer<SocketLink> link;
            quint64 generation = 0;
            std::chrono::milliseconds timeout;
            {
                const std::shared_ptr<HomeySocket> self = weak.lock();
                if (!self || token.isCancelled())
                    co_return;
                if (!self->m_running || !self->m_link || !self->m_link->isConnected())
                    continue;
                link = self->m_link;
                generation = self->m_transportGeneration;
                timeout = self->m_timing.healthTimeout;
            }
            const bool answered = co_await SocketLink::ping(link, timeout, token);

            const std::shared_ptr<HomeySocket> self = weak.lock();
            // A cancelled loop or a replaced transport has nothing left to judge.
            if (!self || token.isCancelled() || self->m_transportGeneration != generation)
                co_return;
            if (self->m_running && !answered) {
                self->healthCheckFailed();
                co_return;
            }
        }
    } catch (...) {
        logFailure(u"gezondheidscontrole"_s, std::current_exception());
    }
}

void HomeySocket::healthCheckFailed()
{
    yield(HomeyEvent::Disconnected{u"je Homey antwoordt niet meer"_s});
    teardown(false);
    scheduleReconnect();
}

void HomeySocket::scheduleReconnect()
{
    if (!m_running || m_reconnect)
        return;
    m_reconnect = Reconnect{CancelToken(), ++m_reconnectSerial};
    reconnectLoop(m_self, m_reconnect->token, m_reconnect->id, m_epoch);
}

void HomeySocket::clearReconnect(quint64 id)
{
    if (m_reconnect && m_reconnect->id == id)
        m_reconnect.reset();
}

void HomeySocket::cancelReconnect()
{
    if (m_reconnect) {
        m_reconnect->token.cancel();
        m_reconnect.reset();
    }
}

QCoro::Task<> HomeySocket::reconnectLoop(Weak weak, CancelToken token, quint64 id, quint64 epoch)
{
    try {
        for (int attempt = 1;; ++attempt) {
            RealtimeTiming::Sleeper sleep;
            std::chrono::milliseconds pause;
            {
                const std::shared_ptr<HomeySocket> self = weak.lock();
                if (!self || token.isCancelled())
                    co_return;
                if (!self->m_running) {
                    self->clearReconnect(id);
                    co_return;
                }
                sleep = self->m_timing.sleep;
                pause = RealtimeTiming::backoff(attempt, self->m_timing.random());
            }
            co_await sleep(pause, token);
            {
                const std::shared_ptr<HomeySocket> self = weak.lock();
                if (!self || token.isCancelled())
                    co_return;
                if (!self->m_running) {
                    self->clearReconnect(id);
                    co_return;
                }
            }

            std::exception_ptr failure;
            bool refused = false;
            try {
                co_await openAndHandshake(weak, epoch);
            } catch (const HomeyError &error) {
                refused = error.kind() == HomeyError::Kind::unauthorized;
                failure = std::current_exception();
            } catch (...) {
                failure = std::current_exception();
            }
            const std::shared_ptr<HomeySocket> self = weak.lock();
            // A superseded loop makes no further move.
            if (!self || token.isCancelled())
                co_return;
            // A transport lost during the subscription pass leaves nothing to be live on, and no other
            // reconnection will come for it: this loop goes on.
            if (!failure && self->m_link) {
                self->clearReconnect(id);
                self->startHealthLoop();
                self->yield(HomeyEvent::Connected{});
                co_return;
            }
            if (refused) {
                self->yield(HomeyEvent::Disconnected{u"de Homey accepteert dit token niet meer"_s});
                self->m_running = false;
                self->clearReconnect(id);
                self->teardown(true); // the refused attempt's transport goes too
                co_return;
            }
            // The failed attempt's transport goes now, not when the next attempt begins.
            self->teardown(false);
        }
    } catch (...) {
        logFailure(u"opnieuw verbinden"_s, std::current_exception());
    }
}
