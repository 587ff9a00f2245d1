#pragma once

#include "base/async/clock.h"

#include <functional>
#include <memory>
#include <QString>

// Where the diagnostic probes report and how they end the run; tests catch both and move the clock.
struct ProbeOutputs {
    // One line on standard output.
    std::function<void(const QString &line)> print;
    // Ends the process at once with this status, the log written out but without a closing line.
    std::function<void(int status)> exit;
    // Every wait of the probes.
    std::shared_ptr<Clock> clock;

    // Standard output, the real end of the process, the system clock.
    static ProbeOutputs standard();
};
