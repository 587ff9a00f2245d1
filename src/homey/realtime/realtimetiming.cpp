#include "homey/realtime/realtimetiming.h"

#include "base/async/sleep.h"

#include <algorithm>
#include <cmath>
#include <QRandomGenerator>

std::chrono::milliseconds RealtimeTiming::backoff(int attempt, double r)
{
    r = std::clamp(std::isfinite(r) ? r : 0.0, 0.0, 1.0);
    double seconds = 0;
    if (attempt <= 1) {
        seconds = 0.5 + 0.4 * r;
    } else {
        const int exponent = std::min(attempt - 1, 5);
        seconds = std::min(0.5 * std::pow(2.0, exponent), 15.0) + 0.4 * r;
    }
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

RealtimeTiming RealtimeTiming::standard()
{
    RealtimeTiming timing;
    // Both ends of [0, 1] reachable, as the back-off table wants.
    timing.random = [] { return double(QRandomGenerator::global()->bounded(1'000'001)) / 1'000'000.0; };
    timing.sleep = [](std::chrono::milliseconds duration, CancelToken token) {
        return sleepFor(duration, std::move(token));
    };
    timing.now = [] { return std::chrono::steady_clock::now(); };
    return timing;
}
