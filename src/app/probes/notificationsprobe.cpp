#include "app/probes/probes.h"
#include "base/log.h"
#include "store/home/homestore.h"
#include "store/notifications/notificationfeed.h"

using namespace Qt::StringLiterals;

namespace Probes {

QCoro::Task<> applyInitialNotifications(std::shared_ptr<ProbeContext> context)
{
    if (!context->has(u"--notifications"_s))
        co_return;
    const bool alive = co_await context->waitFor(ProbeContext::Collection::notifications, 100);
    if (!alive)
        co_return;
    HomeStore *store = context->store();
    // Opened in the store only: the panel's show hook keeps the list open while the switch is given.
    store->enterNotifications();
    log(u"--notifications: meldingenlijst geopend ("_s +
        QString::number(store->notifications()->items().size()) + u" stuks)"_s);
}

} // namespace Probes
