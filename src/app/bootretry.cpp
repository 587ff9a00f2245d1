#include "app/bootretry.h"

#include "homey/model/homeyerror.h"
#include "homey/realtime/realtimetiming.h"

BootRetry::BootRetry(std::function<double()> random)
    : m_random(random ? std::move(random) : RealtimeTiming::standard().random)
{}

BootRetry::~BootRetry()
{
    // A pause still waiting ends now instead of holding its timer.
    m_token.cancel();
}

bool BootRetry::passes(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const HomeyError &homey) {
        switch (homey.kind()) {
        case HomeyError::Kind::unreachable:
        case HomeyError::Kind::offline:
        case HomeyError::Kind::socket:
            return true;
        case HomeyError::Kind::http:
            // A hub starting up or overloaded; 408 and 429 ask outright to come back later. Any other
            // answer of 4xx says the address or the request is wrong, which waiting does not mend.
            return homey.status() >= 500 || homey.status() == 408 || homey.status() == 429;
        case HomeyError::Kind::decoding:
        case HomeyError::Kind::notConfigured:
        case HomeyError::Kind::unauthorized:
            return false;
        }
    } catch (...) {
        // A keyring failure needs the person; a cancelled boot was meant to end.
    }
    return false;
}

BootRetry::Pause BootRetry::next()
{
    ++m_failures;
    return planned(RealtimeTiming::backoff(m_failures, m_random()));
}

BootRetry::Pause BootRetry::again()
{
    return planned(std::chrono::milliseconds(0));
}

BootRetry::Pause BootRetry::planned(std::chrono::milliseconds duration)
{
    m_token.cancel();
    m_token = CancelToken();
    Pause pause;
    pause.attempt = m_failures + 1;
    pause.duration = duration;
    pause.token = m_token;
    pause.serial = ++m_serial;
    return pause;
}

bool BootRetry::holds(const Pause &pause) const
{
    return pause.serial == m_serial && !pause.token.isCancelled();
}

void BootRetry::reset()
{
    m_token.cancel();
    m_token = CancelToken();
    ++m_serial;
    m_failures = 0;
}
