#include "base/async/clock.h"

#include "base/async/sleep.h"

namespace {

class SystemClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    QDateTime wallNow() const override { return QDateTime::currentDateTimeUtc(); }
    QCoro::Task<bool> sleep(std::chrono::milliseconds duration, CancelToken token) override
    {
        return sleepFor(duration, std::move(token));
    }
};

} // namespace

Clock::~Clock() = default;

std::shared_ptr<Clock> Clock::system()
{
    static const std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}
