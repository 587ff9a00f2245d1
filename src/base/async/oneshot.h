#pragma once

#include <coroutine>
#include <exception>
#include <memory>
#include <optional>
#include <QCoreApplication>
#include <QMetaObject>
#include <utility>

// One answer for one waiting coroutine on the main thread: resolved or failed once (later calls do
// nothing), awaited once. The waiter is resumed from the event loop, never inside resolve() or fail(),
// so whoever answers may go on touching its tables; a frame destroyed while waiting is never resumed.
template <typename T> class OneShot {
    struct State {
        std::optional<T> value;
        std::exception_ptr error;
        bool done = false;
        std::coroutine_handle<> handle;
        std::shared_ptr<bool> frameAlive;
    };

public:
    OneShot() : m_state(std::make_shared<State>()) {}

    bool isDone() const { return m_state->done; }

    void resolve(T value)
    {
        if (m_state->done)
            return;
        m_state->value.emplace(std::move(value));
        finish();
    }

    void fail(std::exception_ptr error)
    {
        if (m_state->done)
            return;
        m_state->error = std::move(error);
        finish();
    }

    template <typename E> void fail(const E &error) { fail(std::make_exception_ptr(error)); }

    class Awaiter {
    public:
        explicit Awaiter(std::shared_ptr<State> state) : m_state(std::move(state)) {}

        bool await_ready() const noexcept { return m_state->done; }
        void await_suspend(std::coroutine_handle<> handle)
        {
            m_state->handle = handle;
            m_state->frameAlive = m_guard->alive;
        }
        T await_resume()
        {
            if (m_state->error)
                std::rethrow_exception(m_state->error);
            return std::move(*m_state->value);
        }

    private:
        struct Guard {
            std::shared_ptr<bool> alive = std::make_shared<bool>(true);
            ~Guard() { *alive = false; }
        };
        std::shared_ptr<State> m_state;
        std::shared_ptr<Guard> m_guard = std::make_shared<Guard>();
    };

    Awaiter operator co_await() const { return Awaiter(m_state); }

private:
    void finish()
    {
        m_state->done = true;
        if (!m_state->handle)
            return;
        auto resume = [handle = m_state->handle, alive = m_state->frameAlive] {
            if (*alive)
                handle.resume();
        };
        m_state->handle = {};
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, resume, Qt::QueuedConnection);
        else
            resume();
    }

    std::shared_ptr<State> m_state;
};
