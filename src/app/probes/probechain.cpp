#include "app/probes/probes.h"

namespace Probes {

QCoro::Task<> runAll(std::shared_ptr<ProbeContext> context)
{
    using Probe = QCoro::Task<> (*)(std::shared_ptr<ProbeContext>);
    static constexpr Probe chain[] = {runOnboardingProbe, applyInitialRoom, applyInitialNotifications,
                                      runSearchProbe,     runTypeProbe,     runKeyScript};
    for (const Probe probe : chain) {
        if (!context->app() || context->ended())
            co_return;
        co_await probe(context);
    }
}

} // namespace Probes
