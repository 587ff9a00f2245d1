#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <memory>
#include <QCoroTask>
#include <QDateTime>

// Time as the program's timers see it: a monotonic now and sleeps for every time-out, debounce and
// back-off, and the wall clock only for dates that are shown or stored. Tests swap in a clock they
// move by hand, so rules of seconds run in microseconds.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock();

    virtual TimePoint now() const = 0;
    virtual QDateTime wallNow() const = 0;
    // True when the whole duration passed; false when the token was cancelled first, which ends the
    // sleep at once. Never throws.
    virtual QCoro::Task<bool> sleep(std::chrono::milliseconds duration, CancelToken token) = 0;

    // The process's clock: std::chrono::steady_clock, precise timers, UTC dates.
    static std::shared_ptr<Clock> system();
};
