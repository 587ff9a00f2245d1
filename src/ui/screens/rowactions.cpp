#include "ui/screens/rowactions.h"

#include "store/home/homestore.h"
#include "ui/hovergate.h"

#include <QCoroTask>

namespace RowActions {

namespace {

QCoro::Task<> runSelected(QPointer<HomeStore> store, bool dismisses, std::function<void()> dismiss)
{
    if (!store)
        co_return;
    // Read again as the run starts: the selection may have moved since the click.
    const std::optional<Hit> hit = store->selectedHit();
    if (hit)
        co_await store->run(*hit);
    if (dismisses && dismiss)
        dismiss();
}

} // namespace

void hover(HomeStore *store, HoverGate *gate, int index, QPointF pointer)
{
    if (gate && !gate->admitHover(pointer))
        return;
    if (store->selection() != index)
        store->setSelection(index);
}

void click(HomeStore *store, int index, std::function<void()> dismiss)
{
    if (store->selection() != index)
        store->setSelection(index);
    const std::optional<Hit> hit = store->selectedHit();
    const bool dismisses = hit && (hit->target.kind() == Hit::Target::Kind::flow ||
                                   hit->target.kind() == Hit::Target::Kind::mood);
    runSelected(store, dismisses, std::move(dismiss));
}

bool keyboardMoved(HoverGate *gate)
{
    return !gate || !gate->takeFromMouse();
}

} // namespace RowActions
