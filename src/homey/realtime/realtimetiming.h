#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <functional>
#include <QCoroTask>

// Every time-out, pause and random draw of the realtime link, so tests can shrink them and watch the
// back-off. All durations run on monotonic timers.
struct RealtimeTiming {
    using Sleeper = std::function<QCoro::Task<bool>(std::chrono::milliseconds, CancelToken)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    std::chrono::milliseconds handshakeTimeout{10'000};
    std::chrono::milliseconds healthInterval{5'000};
    std::chrono::milliseconds subscribeWindow{5'000};
    std::chrono::milliseconds healthTimeout{5'000};
    std::chrono::milliseconds ownTransactionWindow{60'000};

    // Uniform in [0, 1], both ends included.
    std::function<double()> random;
    // Every back-off pause goes through here; the default is sleepFor().
    Sleeper sleep;
    // The clock of the own-transaction window.
    Clock now;

    // The pause before the given reconnection attempt (1 for the first) for a draw r in [0, 1]:
    // 0.5 to 0.9 s before the first, then min(0.5 * 2^min(attempt - 1, 5), 15) s plus 0 to 0.4 s.
    static std::chrono::milliseconds backoff(int attempt, double r);

    // The defaults of the running program: the durations above, a real random source, sleepFor().
    static RealtimeTiming standard();
};
