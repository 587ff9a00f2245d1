#include "app/panelcontroller.h"
#include "app/probes/probes.h"
#include "app/probes/searchreport.h"
#include "store/home/homestore.h"

using namespace Qt::StringLiterals;

namespace Probes {

namespace {

void setQuery(HomeStore &store, const QString &query)
{
    if (store.query() != query)
        store.setQuery(query);
}

} // namespace

QCoro::Task<> runSearchProbe(std::shared_ptr<ProbeContext> context)
{
    const std::optional<QString> query = context->value(u"--search"_s);
    if (!query)
        co_return;
    const bool alive = co_await context->waitFor(ProbeContext::Collection::devices, 100);
    if (!alive)
        co_return;

    HomeStore &store = *context->store();
    // The store ranks synchronously.
    setQuery(store, *query);
    SearchReport::Facts facts;
    facts.query = *query;
    facts.devices = store.devices();
    facts.zones = store.zones();
    facts.flowCount = store.flows().size();
    facts.connection = store.connection();
    facts.hits = store.hits();
    for (const QString &line : SearchReport::lines(facts))
        context->print(line);

    if (context->endsAfterReport()) {
        context->exit(0);
        co_return;
    }
    // Kept open: the panel opens on the query's result list.
    context->panel()->show();
    setQuery(*context->store(), *query);
}

} // namespace Probes
