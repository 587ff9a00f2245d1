#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <exception>
#include <functional>
#include <QtGlobal>

// When a boot that failed is tried again by itself: only after a failure that can pass without the
// person (the hub or the network not up yet, a hub too busy to answer), after the realtime link's
// back-off, and only for the pause planned last. A person's action or a boot that got through starts the
// back-off from its first step again.
class BootRetry {
public:
    struct Pause {
        // The attempt that follows the pause; the attempt that failed first is attempt 1.
        int attempt = 0;
        std::chrono::milliseconds duration{0};
        CancelToken token;
        quint64 serial = 0;
    };

    // random: uniform in [0, 1]; empty: the realtime link's own source.
    explicit BootRetry(std::function<double()> random = {});
    ~BootRetry();
    BootRetry(const BootRetry &) = delete;
    BootRetry &operator=(const BootRetry &) = delete;

    // True for a failure that may be gone by the next attempt.
    static bool passes(const std::exception_ptr &error);

    // After a failed attempt: the pause before the next one, a step longer than the last. A pause still
    // waiting is cancelled.
    Pause next();
    // After an attempt that gave way to the person before it came to anything: the same attempt again,
    // due at once, the back-off no step further.
    Pause again();
    // Whether the pause is still the one to act on when it ends.
    bool holds(const Pause &pause) const;
    // Cancels the waiting pause; the next failure starts at the first step.
    void reset();
    // Attempts that failed in a row since the last reset.
    int failures() const { return m_failures; }

private:
    // The pause before the next attempt; a pause still waiting is cancelled.
    Pause planned(std::chrono::milliseconds duration);

    std::function<double()> m_random;
    int m_failures = 0;
    quint64 m_serial = 0;
    CancelToken m_token;
};
