#pragma once

#include "app/probes/probecontext.h"

#include <memory>
#include <QCoroTask>

// The diagnostic probes that run after the hub boot, each driven by its switches. Each returns at once,
// changing nothing, when its switch is absent, so a normal start runs none of them. They never throw.
namespace Probes {

// The six in their fixed order, each to its end; a probe that ends the run ends the chain.
QCoro::Task<> runAll(std::shared_ptr<ProbeContext> context);

// "--onboarding-probe" scenario, only in an isolated onboarding run.
QCoro::Task<> runOnboardingProbe(std::shared_ptr<ProbeContext> context);
// "--room" name, optionally "--dim" level.
QCoro::Task<> applyInitialRoom(std::shared_ptr<ProbeContext> context);
// "--notifications".
QCoro::Task<> applyInitialNotifications(std::shared_ptr<ProbeContext> context);
// "--search" query: a report on standard output.
QCoro::Task<> runSearchProbe(std::shared_ptr<ProbeContext> context);
// "--type" text with "--runs", "--tempo", "--delay", "--freeze", "--hover" and "--offscreen".
QCoro::Task<> runTypeProbe(std::shared_ptr<ProbeContext> context);
// "--keys" names and "--shot".
QCoro::Task<> runKeyScript(std::shared_ptr<ProbeContext> context);

} // namespace Probes
