#include "app/probes/probecontext.h"

#include "app/appdelegate.h"
#include "app/boot.h"
#include "store/home/homestore.h"
#include "store/notifications/notificationfeed.h"

using namespace std::chrono_literals;

ProbeContext::ProbeContext(AppDelegate *app, QStringList arguments, ProbeOutputs outputs)
    : m_app(app), m_arguments(std::move(arguments)), m_outputs(std::move(outputs))
{
    if (!m_outputs.clock)
        m_outputs.clock = Clock::system();
}

AppDelegate *ProbeContext::app() const
{
    return m_app;
}

HomeStore *ProbeContext::store() const
{
    return m_app ? m_app->store() : nullptr;
}

PanelController *ProbeContext::panel() const
{
    return m_app ? m_app->panel() : nullptr;
}

std::optional<QString> ProbeContext::value(const QString &of) const
{
    return Boot::value(m_arguments, of);
}

void ProbeContext::print(const QString &line) const
{
    if (m_outputs.print)
        m_outputs.print(line);
}

void ProbeContext::exit(int status)
{
    m_ended = true;
    if (m_outputs.exit)
        m_outputs.exit(status);
}

bool ProbeContext::endsAfterReport() const
{
    return Boot::autoHidesOnFocusLoss(m_arguments);
}

QCoro::Task<bool> ProbeContext::sleep(std::chrono::milliseconds duration) const
{
    const std::shared_ptr<Clock> clock = m_outputs.clock;
    const QPointer<AppDelegate> app = m_app;
    const CancelToken never;
    co_await clock->sleep(duration, never);
    co_return !app.isNull();
}

namespace {

bool holdsAny(const HomeStore &store, ProbeContext::Collection collection)
{
    switch (collection) {
    case ProbeContext::Collection::devices:
        return !store.devices().isEmpty();
    case ProbeContext::Collection::zones:
        return !store.zones().isEmpty();
    case ProbeContext::Collection::notifications:
        return !store.notifications()->items().isEmpty();
    }
    return false;
}

} // namespace

QCoro::Task<bool> ProbeContext::waitFor(Collection collection, int checks) const
{
    const QPointer<AppDelegate> app = m_app;
    for (int check = 0; check < checks; ++check) {
        const HomeStore *current = app ? app->store() : nullptr;
        if (!current)
            co_return false;
        if (holdsAny(*current, collection))
            co_return true;
        const bool still = co_await sleep(100ms);
        if (!still)
            co_return false;
    }
    co_return !app.isNull();
}
