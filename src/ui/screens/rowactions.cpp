#include "ui/screens/rowactions.h"

#include "store/home/homestore.h"
#include "ui/controls/levelcoalescer.h"
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

RunAction onReturn(const HomeStore &store, const Hit &hit)
{
    const std::optional<QString> detail = store.detailDeviceID();
    if (detail && store.devices().contains(*detail))
        return RunAction();
    return store.runAction(hit);
}

void hover(HomeStore *store, HoverGate *gate, int index)
{
    if (gate && !gate->admitHover())
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

void scrub(HomeStore *store, LevelCoalescer *coalescer, const QString &deviceID, double level, bool released)
{
    const std::optional<Device> device = store->device(deviceID);
    const std::optional<QString> dimKey = device ? device->dimKey() : std::nullopt;
    if (!dimKey)
        return;
    if (!coalescer) {
        if (!released)
            store->setDim(deviceID, level);
        return;
    }
    if (released)
        coalescer->release(deviceID, *dimKey, level);
    else
        coalescer->scrub(deviceID, *dimKey, level);
}

QList<Hit> withDraggedLevels(QList<Hit> hits, const HomeStore &store, const LevelCoalescer *coalescer)
{
    if (!coalescer || !coalescer->hasPending())
        return hits;
    for (qsizetype i = 0; i < hits.size(); ++i) {
        const Hit &hit = std::as_const(hits).at(i);
        const std::optional<QString> deviceID = hit.deviceID();
        if (!deviceID || !hit.accessory.dimmerLevel())
            continue;
        const auto device = store.devices().constFind(*deviceID);
        const std::optional<QString> dimKey =
            device != store.devices().constEnd() ? device->dimKey() : std::nullopt;
        if (const std::optional<double> dragged =
                dimKey ? coalescer->pending(*deviceID, *dimKey) : std::nullopt)
            hits[i].accessory = Hit::Accessory::dimmer(*dragged); // the list is copied only here
    }
    return hits;
}

bool keyboardMoved(HoverGate *gate)
{
    return !gate || !gate->takeFromMouse();
}

} // namespace RowActions
