#pragma once

#include "base/async/clock.h"

#include <coroutine>
#include <map>
#include <memory>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

// A clock that moves only when a test says so. advance() walks time forward to each sleeper's deadline in
// turn, wakes it, and lets the event loop settle before the next one, so every timer fires at its exact
// virtual moment and in order.
class ManualClock final : public Clock {
public:
    TimePoint now() const override { return m_now; }
    QDateTime wallNow() const override
    {
        return m_wallStart.addMSecs(
            std::chrono::duration_cast<std::chrono::milliseconds>(m_now - start).count());
    }
    void setWallStart(const QDateTime &start) { m_wallStart = start; }

    QCoro::Task<bool> sleep(std::chrono::milliseconds duration, CancelToken token) override
    {
        if (token.isCancelled())
            co_return false;
        auto state = std::make_shared<State>();
        const quint64 id = ++m_serial;
        m_sleepers.emplace(Key{m_now + duration, id}, state);
        CancelRegistration registration = token.onCancel([state] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [state] { state->wake(false); }, Qt::QueuedConnection);
        });
        // A named awaiter: g++ 12 destroys a braced temporary awaiter twice, releasing state once too often.
        Awaiter awaiter;
        awaiter.state = state;
        const bool elapsed = co_await awaiter;
        registration.reset();
        co_return elapsed;
    }

    // Moves time forward by step, waking every sleeper whose deadline falls within it.
    void advance(std::chrono::milliseconds step)
    {
        const TimePoint target = m_now + step;
        settle();
        for (;;) {
            auto first = m_sleepers.begin();
            while (first != m_sleepers.end() && first->second->done)
                first = m_sleepers.erase(first);
            if (first == m_sleepers.end() || first->first.deadline > target)
                break;
            m_now = first->first.deadline;
            const std::shared_ptr<State> state = first->second;
            m_sleepers.erase(first);
            state->wake(true);
            settle();
        }
        m_now = target;
        settle();
    }

    // Sleepers still waiting.
    int sleepers() const
    {
        int count = 0;
        for (const auto &[key, state] : m_sleepers)
            count += state->done ? 0 : 1;
        return count;
    }

    // Runs what the event loop has queued until nothing new arrives.
    static void settle()
    {
        for (int round = 0; round < 50; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }

private:
    struct State {
        std::coroutine_handle<> handle;
        bool done = false;
        bool elapsed = false;
        void wake(bool fullTime)
        {
            if (done || !handle)
                return;
            done = true;
            elapsed = fullTime;
            handle.resume();
        }
    };
    struct Key {
        TimePoint deadline;
        quint64 serial;
        bool operator<(const Key &other) const
        {
            return deadline != other.deadline ? deadline < other.deadline : serial < other.serial;
        }
    };
    struct Awaiter {
        std::shared_ptr<State> state;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) { state->handle = handle; }
        bool await_resume() const noexcept { return state->elapsed; }
    };

    static constexpr TimePoint start{std::chrono::hours(1)};
    TimePoint m_now = start;
    QDateTime m_wallStart = QDateTime(QDate(2026, 1, 5), QTime(9, 0), Qt::UTC);
    std::map<Key, std::shared_ptr<State>> m_sleepers;
    quint64 m_serial = 0;
};
