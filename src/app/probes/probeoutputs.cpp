#include "app/probes/probeoutputs.h"

#include "base/log.h"

#include <cstdio>
#include <unistd.h>

ProbeOutputs ProbeOutputs::standard()
{
    ProbeOutputs outputs;
    outputs.print = [](const QString &line) {
        const QByteArray bytes = line.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
    };
    outputs.exit = [](int status) {
        // At once: nothing of the application is torn down, and it writes no closing line.
        Log::shared().flush();
        std::fflush(stdout);
        ::_exit(status);
    };
    outputs.clock = Clock::system();
    return outputs;
}
