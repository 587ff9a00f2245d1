#include "app/appdelegate.h"
#include "app/onboarding.h"
#include "app/probes/probes.h"
#include "app/probes/probetext.h"
#include "base/appconfiguration.h"
#include "base/log.h"

#include <QHash>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace Probes {

namespace {

// The keys the scenarios paste. Plain text, no real keys: only the local test hub knows what to make of
// them (accept, refuse, accept as a second key that replaces the first).
const QHash<QString, QString> testKeys = {
    {u"valid"_s, u"trial-pos"_s},
    {u"invalid"_s, u"trial-neg"_s},
    {u"replace"_s, u"trial-vers"_s},
};

// Plays the scenario; false for a name that is none.
QCoro::Task<bool> play(std::shared_ptr<ProbeContext> context, QString scenario)
{
    AppDelegate *app = context->app();
    if (const auto key = testKeys.constFind(scenario); key != testKeys.constEnd()) {
        app->openOnboarding();
        // As the pairing screen saves a key: checked, kept, then a boot when the hub took it.
        QCoro::Task<bool> saving = app->hub()->saveToken(*key);
        co_await saving;
        co_return true;
    }
    if (scenario == u"forget"_s) {
        app->openOnboarding();
        app->hub()->forgetToken();
        // However long the keyring takes.
        while (context->app() && context->app()->onboarding()->busy()) {
            const bool alive = co_await context->sleep(50ms);
            if (!alive)
                break;
        }
        co_return true;
    }
    if (scenario == u"retry"_s) {
        QCoro::Task<> booting = app->hub()->boot();
        co_await booting;
        co_return true;
    }
    co_return false;
}

} // namespace

QCoro::Task<> runOnboardingProbe(std::shared_ptr<ProbeContext> context)
{
    // Outside the isolated run the switch means nothing: no key of the user's is ever touched.
    if (!AppConfiguration::isolatedFrom(context->arguments()))
        co_return;
    const std::optional<QString> scenario = context->value(u"--onboarding-probe"_s);
    if (!scenario)
        co_return;
    const bool known = co_await play(context, *scenario);
    if (!known || !context->app())
        co_return;

    const bool alive = co_await context->sleep(500ms);
    if (!alive)
        co_return;
    AppDelegate *app = context->app();
    // A picture that cannot be written says so in the log itself.
    app->panel()->snapshot(AppDelegate::snapshotPath());
    const Onboarding *onboarding = app->onboarding();
    const bool failed = onboarding->message().has_value() || onboarding->connectionProblem().has_value();
    log(u"onboardingproef: "_s + *scenario + u", sleutel aanwezig="_s +
        ProbeText::truth(onboarding->hasToken()) + u", fout="_s + ProbeText::truth(failed));
}

} // namespace Probes
