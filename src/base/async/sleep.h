#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <QCoroTask>

// Sleeps on the current thread's event loop with a precise, monotonic timer. True when the whole time
// passed; false when the token was cancelled first, in which case the sleep ends at once.
QCoro::Task<bool> sleepFor(std::chrono::milliseconds duration, CancelToken token = {});
