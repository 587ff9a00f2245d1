#include "base/async/requestslots.h"

#include "base/async/cancelled.h"

#include <algorithm>
#include <deque>
#include <QCoreApplication>
#include <QMetaObject>

namespace {

struct Waiter {
    std::coroutine_handle<> handle;
    bool granted = false;
    bool scheduled = false;
    // False once the waiting frame is gone: it must never be resumed then.
    bool alive = true;
};

void resumeLater(const std::shared_ptr<Waiter> &waiter)
{
    if (waiter->scheduled)
        return;
    waiter->scheduled = true;
    auto resume = [waiter] {
        if (waiter->alive)
            waiter->handle.resume();
    };
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, resume, Qt::QueuedConnection);
    else
        resume();
}

} // namespace

struct RequestSlots::State {
    explicit State(int capacity) : capacity(std::max(capacity, 1)) {}

    const int capacity;
    int inUse = 0;
    bool closed = false;
    std::deque<std::shared_ptr<Waiter>> queue;

    bool withdraw(const std::shared_ptr<Waiter> &waiter)
    {
        const auto it = std::find(queue.begin(), queue.end(), waiter);
        if (it == queue.end())
            return false;
        queue.erase(it);
        return true;
    }

    void release()
    {
        --inUse;
        while (!closed && inUse < capacity && !queue.empty()) {
            std::shared_ptr<Waiter> next = std::move(queue.front());
            queue.pop_front();
            next->granted = true;
            ++inUse;
            resumeLater(next);
        }
    }
};

// One wait, shared by the copies of its awaiter; it goes with the awaiting frame. A frame destroyed
// while it waits leaves the queue, and gives back a slot granted to it.
struct RequestSlots::Awaiter::Wait {
    std::shared_ptr<State> state;
    CancelToken cancel;
    std::shared_ptr<Waiter> waiter = std::make_shared<Waiter>();
    CancelRegistration withdrawOnCancel;
    bool handedOver = false;

    ~Wait()
    {
        withdrawOnCancel.reset();
        waiter->alive = false;
        state->withdraw(waiter);
        if (waiter->granted && !handedOver)
            state->release();
    }
};

RequestSlots::Slot &RequestSlots::Slot::operator=(Slot &&other) noexcept
{
    if (this != &other) {
        if (m_state)
            m_state->release();
        m_state = std::move(other.m_state);
    }
    return *this;
}

RequestSlots::Slot::~Slot()
{
    if (m_state)
        m_state->release();
}

RequestSlots::Awaiter::Awaiter(std::shared_ptr<State> state, CancelToken cancel)
    : m_wait(std::make_shared<Wait>(std::move(state), std::move(cancel)))
{}

bool RequestSlots::Awaiter::await_ready()
{
    State &state = *m_wait->state;
    if (state.closed || m_wait->cancel.isCancelled())
        return true;
    if (state.inUse < state.capacity && state.queue.empty()) {
        ++state.inUse;
        m_wait->waiter->granted = true;
        return true;
    }
    return false;
}

void RequestSlots::Awaiter::await_suspend(std::coroutine_handle<> handle)
{
    m_wait->waiter->handle = handle;
    m_wait->state->queue.push_back(m_wait->waiter);
    m_wait->withdrawOnCancel = m_wait->cancel.onCancel([state = m_wait->state, waiter = m_wait->waiter] {
        if (state->withdraw(waiter))
            resumeLater(waiter);
    });
}

RequestSlots::Slot RequestSlots::Awaiter::await_resume()
{
    m_wait->withdrawOnCancel.reset();
    // A grant that reaches a closed or cancelled waiter is given back by the wait.
    if (!m_wait->waiter->granted || m_wait->state->closed || m_wait->cancel.isCancelled())
        throw Cancelled();
    m_wait->handedOver = true;
    return Slot(m_wait->state);
}

RequestSlots::RequestSlots(int capacity) : m_state(std::make_shared<State>(capacity)) {}

RequestSlots::~RequestSlots()
{
    close();
}

void RequestSlots::close()
{
    m_state->closed = true;
    std::deque<std::shared_ptr<Waiter>> queue;
    queue.swap(m_state->queue);
    for (const auto &waiter : queue)
        resumeLater(waiter);
}

int RequestSlots::inUse() const
{
    return m_state->inUse;
}

int RequestSlots::waiting() const
{
    return int(m_state->queue.size());
}
