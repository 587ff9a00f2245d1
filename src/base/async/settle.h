#pragma once

#include <coroutine>
#include <memory>
#include <mutex>
#include <optional>
#include <QCoroTask>
#include <QMetaObject>
#include <QObject>
#include <stdexcept>

// A one-shot meeting point: any number of settle() calls from any thread, the first value wins, and the
// one waiter of value() is resumed exactly once with it, on its own thread through its event loop.
// Hold it through std::shared_ptr so that a late callback still finds it alive.
template <typename T> class Settle {
public:
    Settle() = default;
    Settle(const Settle &) = delete;
    Settle &operator=(const Settle &) = delete;

    void settle(T value)
    {
        QObject *waiterContext = nullptr;
        std::shared_ptr<Pending> pending;
        {
            std::lock_guard lock(m_mutex);
            if (!m_result)
                m_result.emplace(std::move(value));
            if (m_pending) {
                pending = std::move(m_pending);
                m_pending.reset();
                pending->value.emplace(*m_result);
                waiterContext = pending->context;
            }
        }
        // Resumed after the lock is released, and never inside this call.
        if (pending) {
            QMetaObject::invokeMethod(
                waiterContext, [pending] { pending->handle.resume(); }, Qt::QueuedConnection);
        }
    }

    bool isSettled() const
    {
        std::lock_guard lock(m_mutex);
        return m_result.has_value();
    }

    // Awaited once: the first settled value, at once when there already is one.
    QCoro::Task<T> value() { co_return co_await Awaiter(this); }

private:
    struct Pending {
        std::coroutine_handle<> handle;
        QObject *context = nullptr;
        std::optional<T> value;
    };

    // What one wait needs; shared by the copies of its awaiter.
    struct Wait {
        std::optional<T> value;
        std::unique_ptr<QObject> context;
        std::shared_ptr<Pending> pending;
        ~Wait()
        {
            // We are resumed from inside the context's own event: it may only go once that is over.
            if (context)
                context.release()->deleteLater();
        }
    };

    // Copyable (the compiler may copy an awaiter); every copy shares one wait.
    class Awaiter {
    public:
        explicit Awaiter(Settle *settle) : m_settle(settle) {}

        bool await_ready() const noexcept { return false; }

        bool await_suspend(std::coroutine_handle<> handle)
        {
            std::lock_guard lock(m_settle->m_mutex);
            if (m_settle->m_registered)
                throw std::logic_error("Settle::value() awaited twice");
            m_settle->m_registered = true;
            if (m_settle->m_result) {
                m_wait->value.emplace(*m_settle->m_result);
                return false;
            }
            // A context object living on this thread carries the resume back here.
            m_wait->context = std::make_unique<QObject>();
            m_wait->pending = std::make_shared<Pending>();
            m_wait->pending->handle = handle;
            m_wait->pending->context = m_wait->context.get();
            m_settle->m_pending = m_wait->pending;
            return true;
        }

        T await_resume()
        {
            if (m_wait->value)
                return std::move(*m_wait->value);
            return std::move(*m_wait->pending->value);
        }

    private:
        Settle *m_settle;
        std::shared_ptr<Wait> m_wait = std::make_shared<Wait>();
    };

    mutable std::mutex m_mutex;
    std::optional<T> m_result;
    std::shared_ptr<Pending> m_pending;
    bool m_registered = false;
};
