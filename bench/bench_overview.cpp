// Lamps switched at the hub while the panel shows the overview of a 1,000-device home: each change goes
// through the store into the overview's room tiles, mode chips and headline (their QML bindings and
// text layout). In the process and back to back, so the figure is the work itself, without what a
// machine charges for memory left alone between the live program's events (see bench_live); a change
// to the overview's code can be weighed here in a minute. The drawn variant also renders a frame after
// every third change, as the live program draws about one frame per three changes of a burst; it
// renders the whole window, where the live program redraws only what changed.
#include "benchstage.h"
#include "servedhome.h"
#include "store/home/homestore.h"
#include "store/home/homestoreprobe.h"
#include "support/awaittask.h"
#include "ui/screens/restscreen.h"
#include "ui/theme.h"

#include <benchmark/benchmark.h>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

const char *const overview = R"(import QtQuick
import Quorvane.Ui
Rectangle {
    id: stage
    required property RestScreen screen
    required property Motion motion
    color: Theme.surface
    RestView { anchors.fill: parent; screen: stage.screen; motion: stage.motion }
})";

void switchLamps(benchmark::State &state, bool drawn)
{
    // Without favourites, as in bench_live's home: the mode chips are the first lit lamps by name.
    HomeStore store(ServedHome::client(false), nullptr, nullptr, SettingsStore(u"bench-overview"_s));
    awaitTask(store.start());
    store.panelDidAppear();
    RestScreen screen(&store);
    BenchStage stage(overview, &screen, Theme::panelHeight);
    if (!stage.error.isEmpty()) {
        state.SkipWithError(qPrintable(stage.error));
        return;
    }

    // The lamps of the generated home, in every room in turn; each change turns a lamp over.
    QList<Device> lamps;
    for (const Device &device : store.devices()) {
        if (device.deviceClass == u"light" && device.onoffKey())
            lamps.append(device);
    }
    if (lamps.isEmpty()) {
        state.SkipWithError("no lamps");
        return;
    }
    qsizetype step = 0;
    for (auto _ : state) {
        const Device &lamp = lamps.at((step * 7) % lamps.size());
        const bool on = !store.devices().value(lamp.id).isOn().value_or(false);
        HomeStoreProbe::apply(
            store, HomeyEvent::Capability{lamp.id, *lamp.onoffKey(), CapabilityValue::fromBool(on), {}});
        QCoreApplication::sendPostedEvents();
        if (++step % 3 == 0 && drawn)
            benchmark::DoNotOptimize(stage.window.grabWindow().constBits());
    }
    state.counters["tiles"] = double(screen.rooms()->count());
    state.counters["modes"] = double(screen.modes()->count());
}

void BM_OverviewLampChange(benchmark::State &state)
{
    switchLamps(state, false);
}
BENCHMARK(BM_OverviewLampChange)->Unit(benchmark::kMicrosecond);

void BM_OverviewLampChangeDrawn(benchmark::State &state)
{
    switchLamps(state, true);
}
BENCHMARK(BM_OverviewLampChangeDrawn)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runStagedBenchmarks(argc, argv);
}
