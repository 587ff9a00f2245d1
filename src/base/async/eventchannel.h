#pragma once

#include <coroutine>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <QCoreApplication>
#include <QMetaObject>
#include <utility>

// A bounded stream from producers to one consumer, on the Qt main thread. A full buffer drops its oldest
// entry, so a slow consumer loses old events rather than blocking the producer. The consumer is resumed
// from the event loop, never inside push() or finish(), so it may freely touch the producer; handOver()
// is the one exception.
template <typename T> class EventChannel {
public:
    explicit EventChannel(std::size_t capacity = 512) : m_capacity(capacity > 0 ? capacity : 1) {}
    EventChannel(const EventChannel &) = delete;
    EventChannel &operator=(const EventChannel &) = delete;

    ~EventChannel()
    {
        // A consumer still waiting sees the end of the stream instead of hanging.
        deliver(std::nullopt);
    }

    void push(T value)
    {
        if (m_finished)
            return;
        if (m_waiter) {
            deliver(std::move(value));
            return;
        }
        if (m_buffer.size() >= m_capacity) {
            m_buffer.pop_front();
            ++m_dropped;
        }
        m_buffer.push_back(std::move(value));
    }

    // As push(), but a waiting consumer is resumed inside this call, which saves a turn of the event loop
    // per value. Only for a producer called straight from the event loop that touches nothing of itself
    // afterwards: the consumer may end or destroy it. Hold the channel by a shared_ptr of your own.
    void handOver(T value)
    {
        if (m_finished)
            return;
        const std::shared_ptr<Waiter> waiter = std::exchange(m_waiter, nullptr);
        if (!waiter) {
            push(std::move(value));
            return;
        }
        waiter->value = std::move(value);
        if (waiter->alive)
            waiter->handle.resume();
    }

    // Ends the stream: what is buffered is still handed out, then next() gives nullopt.
    void finish()
    {
        m_finished = true;
        deliver(std::nullopt);
    }

    // Ends the stream for an owner going away: a waiting consumer is resumed inside this call, since the
    // event loop that would resume it may never turn again (the program is ending). Left waiting, its
    // frame and everything it holds would never be freed. It must find its owner gone and touch nothing
    // of this channel.
    void close()
    {
        m_finished = true;
        const std::shared_ptr<Waiter> waiter = std::exchange(m_waiter, nullptr);
        if (waiter && waiter->alive)
            waiter->handle.resume();
    }

    bool isFinished() const { return m_finished; }
    std::size_t dropped() const { return m_dropped; }
    std::size_t size() const { return m_buffer.size(); }
    std::size_t capacity() const { return m_capacity; }

private:
    struct Waiter {
        std::coroutine_handle<> handle;
        std::optional<T> value;
        bool alive = true;
    };

    // Gone with the last copy of the awaiter, that is with the suspended frame: a frame destroyed while
    // suspended must never be resumed by a pending delivery.
    struct Guard {
        std::shared_ptr<Waiter> waiter = std::make_shared<Waiter>();
        ~Guard() { waiter->alive = false; }
    };

public:
    // Copyable (the compiler may copy an awaiter); every copy shares one wait. Awaited straight rather
    // than through a task: a busy stream costs no frame, and an entry already buffered no allocation.
    class Next {
    public:
        explicit Next(EventChannel *channel) : m_channel(channel) {}

        bool await_ready()
        {
            if (!m_channel->m_buffer.empty()) {
                m_ready.emplace(std::move(m_channel->m_buffer.front()));
                m_channel->m_buffer.pop_front();
                return true;
            }
            if (m_channel->m_finished) {
                m_ready.emplace(std::nullopt);
                return true;
            }
            return false;
        }
        void await_suspend(std::coroutine_handle<> handle)
        {
            m_guard = std::make_shared<Guard>();
            m_guard->waiter->handle = handle;
            Q_ASSERT(!m_channel->m_waiter); // one consumer only
            m_channel->m_waiter = m_guard->waiter;
        }
        // Nothing of the channel is touched after the wait: it may be destroyed meanwhile.
        std::optional<T> await_resume()
        {
            if (m_ready)
                return std::move(*m_ready);
            return std::move(m_guard->waiter->value);
        }

    private:
        EventChannel *m_channel;
        std::optional<std::optional<T>> m_ready;
        std::shared_ptr<Guard> m_guard;
    };

    // co_await next(): the next entry, or nullopt once the stream is finished and drained (or the
    // channel is gone).
    Next next() { return Next(this); }

private:
    void deliver(std::optional<T> value)
    {
        std::shared_ptr<Waiter> waiter = std::move(m_waiter);
        m_waiter.reset();
        if (!waiter)
            return;
        waiter->value = std::move(value);
        auto resume = [waiter] {
            if (waiter->alive)
                waiter->handle.resume();
        };
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, resume, Qt::QueuedConnection);
        else
            resume();
    }

    std::size_t m_capacity;
    std::deque<T> m_buffer;
    std::size_t m_dropped = 0;
    bool m_finished = false;
    std::shared_ptr<Waiter> m_waiter;
};
