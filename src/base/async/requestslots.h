#pragma once

#include "base/async/canceltoken.h"

#include <coroutine>
#include <memory>

// At most a fixed number of holders at once; the rest wait in call order. A waiter whose token is
// cancelled leaves the queue. close() fails every waiter and every later call with Cancelled, a waiter
// whose slot was granted but that has not resumed yet included. Waiters resume from the event loop,
// never inside the call that freed the slot. Main thread only.
class RequestSlots {
    struct State;

public:
    // Held while the work runs; dropping it serves the next waiter.
    class Slot {
    public:
        Slot() = default;
        Slot(Slot &&other) noexcept = default;
        Slot &operator=(Slot &&other) noexcept;
        ~Slot();

    private:
        friend class RequestSlots;
        explicit Slot(std::shared_ptr<State> state) : m_state(std::move(state)) {}
        std::shared_ptr<State> m_state;
    };

    // Copies share one wait. It holds everything it needs, so the RequestSlots may go while it waits.
    class Awaiter {
    public:
        Awaiter(std::shared_ptr<State> state, CancelToken cancel);
        bool await_ready();
        void await_suspend(std::coroutine_handle<> handle);
        Slot await_resume();

    private:
        struct Wait;
        std::shared_ptr<Wait> m_wait;
    };

    explicit RequestSlots(int capacity);
    // Closes.
    ~RequestSlots();
    RequestSlots(const RequestSlots &) = delete;
    RequestSlots &operator=(const RequestSlots &) = delete;

    // co_await acquire(cancel) gives a Slot or throws Cancelled.
    Awaiter acquire(CancelToken cancel) const { return Awaiter(m_state, std::move(cancel)); }
    void close();

    int inUse() const;
    int waiting() const;

private:
    std::shared_ptr<State> m_state;
};
