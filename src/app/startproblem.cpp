#include "app/startproblem.h"

#include "app/onboarding.h"
#include "homey/model/homeyerror.h"

using namespace Qt::StringLiterals;

StartProblem StartProblem::of(const std::exception_ptr &error, bool retrying)
{
    StartProblem problem;
    problem.advice = Onboarding::explain(error);
    problem.retrying = retrying;
    try {
        std::rethrow_exception(error);
    } catch (const HomeyError &homey) {
        problem.keyRefused = homey.kind() == HomeyError::Kind::unauthorized;
    } catch (...) {
    }
    return problem;
}

ConnectionState StartProblem::shown(const ConnectionState &store, const std::optional<StartProblem> &start)
{
    using Kind = ConnectionState::Kind;
    if (!start || store.kind() == Kind::live || store.kind() == Kind::degraded)
        return store;
    if (start->keyRefused) {
        const HomeyError refused = HomeyError::unauthorized();
        return ConnectionState::failed(refused.errorDescription(), refused.recovery());
    }
    // Short, for a tooltip and a line at the foot of a window: the screen has room for the whole advice.
    const QString title = u"Geen verbinding met je Homey."_s;
    if (start->retrying)
        return ConnectionState::failed(title, u"Quorvane blijft het proberen."_s);
    return ConnectionState::failed(title, start->advice);
}
