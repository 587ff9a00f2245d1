#include "base/async/sleep.h"

#include <coroutine>
#include <memory>
#include <QPointer>
#include <QTimer>

namespace {

// Shared between the awaiter and the two ways out (timer, cancellation); only touched on the sleeping
// thread, because both ways out arrive through the timer object's own thread.
struct SleepState {
    std::coroutine_handle<> waiter;
    bool finished = false;
    bool elapsed = false;

    void finish(bool fullTime)
    {
        if (finished)
            return;
        finished = true;
        elapsed = fullTime;
        waiter.resume();
    }
};

// Owns the timer and the cancel registration for one sleep.
class SleepWait {
public:
    SleepWait(std::chrono::milliseconds duration, CancelToken token)
        : m_duration(duration), m_token(std::move(token))
    {}
    SleepWait(const SleepWait &) = delete;
    SleepWait &operator=(const SleepWait &) = delete;

    ~SleepWait()
    {
        // Unregister first: this waits for a cancel callback running on another thread right now.
        m_registration.reset();
        // The timer may be the sender that resumed us; let it finish its signal before it goes.
        if (m_timer)
            m_timer->deleteLater();
    }

    void start(std::coroutine_handle<> waiter)
    {
        m_state->waiter = waiter;
        m_timer = new QTimer();
        m_timer->setTimerType(Qt::PreciseTimer);
        m_timer->setSingleShot(true);
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [state = m_state] { state->finish(true); });
        m_timer->start(m_duration);
        QPointer<QTimer> timer = m_timer;
        m_registration = m_token.onCancel([state = m_state, timer] {
            // Cancellation may come from any thread: the wake-up always runs on the sleeping one.
            QMetaObject::invokeMethod(
                timer.data(),
                [state, timer] {
                    if (timer)
                        timer->stop();
                    state->finish(false);
                },
                Qt::QueuedConnection);
        });
    }

    bool elapsed() const { return m_state->elapsed; }

private:
    std::chrono::milliseconds m_duration;
    CancelToken m_token;
    std::shared_ptr<SleepState> m_state = std::make_shared<SleepState>();
    QTimer *m_timer = nullptr;
    CancelRegistration m_registration;
};

// Copyable (the compiler may copy an awaiter); every copy shares one wait.
class SleepAwaiter {
public:
    SleepAwaiter(std::chrono::milliseconds duration, CancelToken token)
        : m_wait(std::make_shared<SleepWait>(duration, std::move(token)))
    {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiter) { m_wait->start(waiter); }
    bool await_resume() const noexcept { return m_wait->elapsed(); }

private:
    std::shared_ptr<SleepWait> m_wait;
};

} // namespace

QCoro::Task<bool> sleepFor(std::chrono::milliseconds duration, CancelToken token)
{
    if (token.isCancelled())
        co_return false;
    co_return co_await SleepAwaiter(duration, token);
}
