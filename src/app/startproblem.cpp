#include "app/startproblem.h"

#include "app/onboarding.h"
#include "homey/model/homeyerror.h"
#include "ports/keychainerror.h"

using namespace Qt::StringLiterals;

StartProblem StartProblem::of(const std::exception_ptr &error, bool retrying)
{
    const Onboarding::Explanation explanation = Onboarding::explained(error);
    StartProblem problem;
    problem.advice = explanation.text();
    problem.description = explanation.description;
    problem.remedy = explanation.advice;
    problem.retrying = retrying;
    problem.needsPairing = needsPairingAfter(error);
    return problem;
}

bool StartProblem::needsPairingAfter(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const HomeyError &homey) {
        return homey.kind() == HomeyError::Kind::unauthorized;
    } catch (const KeychainError &) {
        return true;
    } catch (...) {
        return false;
    }
}

ConnectionState StartProblem::shown(const ConnectionState &store, const std::optional<StartProblem> &start)
{
    using Kind = ConnectionState::Kind;
    if (!start || store.kind() == Kind::live || store.kind() == Kind::degraded)
        return store;
    // The pairing screen is up: the tray and the foot name what it is about, in the failure's own words.
    if (start->needsPairing)
        return ConnectionState::failed(start->description, start->remedy);
    // Short, for a tooltip and a line at the foot of a window: the screen has room for the whole advice.
    const QString title = u"Geen verbinding met je Homey."_s;
    if (start->retrying)
        return ConnectionState::failed(title, u"Quorvane blijft het proberen."_s);
    return ConnectionState::failed(title, start->advice);
}
