#include "app/boot.h"
#include "app/probes/probes.h"
#include "base/log.h"
#include "store/home/homestore.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace Probes {

QCoro::Task<> applyInitialRoom(std::shared_ptr<ProbeContext> context)
{
    const std::optional<QString> name = context->value(u"--room"_s);
    if (!name)
        co_return;
    const bool alive = co_await context->waitFor(ProbeContext::Collection::zones, 100);
    if (!alive)
        co_return;

    const QString room = u"--room \""_s + *name + u"\""_s;
    const QPointer<HomeStore> store = context->store();
    const std::optional<QString> zoneID = store->zoneID(*name);
    if (!zoneID) {
        log(u"!! "_s + room + u": geen kamer met die naam ("_s + QString::number(store->zones().size()) +
            u" zones geladen). Niets gedaan."_s);
        co_return;
    }
    store->enterScope(*zoneID);
    // Zooming in emptied the query: the room view filters by the start-up one.
    const std::optional<QString> query = context->value(u"--query"_s);
    if (query && *query != store->query())
        store->setQuery(*query);
    const std::optional<Zone> zone = store->zone(*zoneID);
    log(room + u": ingezoomd op "_s + (zone ? zone->name : *name) + u" ("_s +
        QString::number(store->room() ? store->room()->deviceCount : 0) + u" bedienbaar, "_s +
        QString::number(store->roomHits().size()) + u" selecteerbare rijen)"_s);

    const std::optional<double> level = Boot::initialDim(context->arguments());
    if (!level)
        co_return;
    const QString dim = u"--dim "_s + QString::number(std::lround(*level * 100));
    log(dim + u": de kamer-dimmer zetten..."_s);
    QCoro::Task<> dimming = store->setAllDim(*zoneID, *level);
    co_await dimming;
    const HomeStore *now = context->store();
    if (!now)
        co_return;
    log(dim + u": klaar. Kamer staat nu op "_s + QString::number(std::lround(now->roomDimLevel() * 100)) +
        u"%."_s);
}

} // namespace Probes
