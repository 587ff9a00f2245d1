// The home store's costs on the large generated home: a keystroke, and realtime changes with the panel
// on screen and hidden.
#include "servedhome.h"
#include "store/home/homestore.h"
#include "store/home/homestoreprobe.h"
#include "support/awaittask.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <QCoreApplication>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A loaded store over the generated home, without a realtime link.
struct LoadedStore {
    std::unique_ptr<HomeStore> store;
    int hitsAnnounced = 0;

    LoadedStore()
    {
        store = std::make_unique<HomeStore>(ServedHome::client(), nullptr, nullptr,
                                            SettingsStore(u"benchstore"_s));
        awaitTask(store->start());
        QObject::connect(store.get(), &HomeStore::hitsChanged, [this] { ++hitsAnnounced; });
    }
};

// Light i of the home switched to on; the lights are devices whose number ends in 0 to 5.
HomeyEvent lightSwitched(int i, bool on)
{
    const int device = (i / 6) * 10 + i % 6;
    return HomeyEvent::Capability{u"device%1"_s.arg(device), u"onoff"_s, CapabilityValue::fromBool(on), {}};
}

void BM_Keystroke(benchmark::State &state)
{
    LoadedStore loaded;
    loaded.store->panelDidAppear();
    // Each step changes what is found, so the hits are announced every time.
    const QString queries[] = {u"woonkamer lamp"_s, u"keuken lamp"_s};
    int step = 0;
    for (auto _ : state)
        loaded.store->setQuery(queries[step++ % 2]);
    state.counters["announced"] = double(loaded.hitsAnnounced) / double(step);
}

void BM_KeystrokeInRoom(benchmark::State &state)
{
    LoadedStore loaded;
    loaded.store->panelDidAppear();
    loaded.store->enterScope(u"room0"_s);
    const QString queries[] = {u"plafondlamp"_s, u"lamp"_s};
    int step = 0;
    for (auto _ : state)
        loaded.store->setQuery(queries[step++ % 2]);
}

// One light switched while the panel shows search results: the overview and the hits are refreshed.
void BM_CapabilityVisibleResults(benchmark::State &state)
{
    LoadedStore loaded;
    loaded.store->panelDidAppear();
    loaded.store->setQuery(u"lamp"_s);
    bool on = false;
    for (auto _ : state)
        HomeStoreProbe::apply(*loaded.store, lightSwitched(0, on = !on));
}

// One light switched in the open room: the overview, the room and the (empty) hits are refreshed.
void BM_CapabilityVisibleRoom(benchmark::State &state)
{
    LoadedStore loaded;
    loaded.store->panelDidAppear();
    loaded.store->enterScope(u"room0"_s);
    bool on = false;
    for (auto _ : state)
        HomeStoreProbe::apply(*loaded.store, lightSwitched(0, on = !on));
}

void BM_CapabilityHidden(benchmark::State &state)
{
    LoadedStore loaded;
    loaded.store->setQuery(u"lamp"_s);
    bool on = false;
    for (auto _ : state)
        HomeStoreProbe::apply(*loaded.store, lightSwitched(0, on = !on));
}

// A burst of 1,000 changes over 600 lights, one at a time as the stream hands them over.
void thousandEvents(benchmark::State &state, bool visible)
{
    LoadedStore loaded;
    if (visible)
        loaded.store->panelDidAppear();
    loaded.store->setQuery(u"lamp"_s);
    bool on = false;
    for (auto _ : state) {
        on = !on;
        for (int i = 0; i < 1000; ++i)
            HomeStoreProbe::apply(*loaded.store, lightSwitched(i % 600, on));
    }
}

void BM_ThousandEventsVisible(benchmark::State &state)
{
    thousandEvents(state, true);
}

void BM_ThousandEventsHidden(benchmark::State &state)
{
    thousandEvents(state, false);
}

} // namespace

BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeInRoom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CapabilityVisibleResults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CapabilityVisibleRoom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CapabilityHidden)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ThousandEventsVisible)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandEventsHidden)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // The store keeps its recent rows and the log under these folders: never the user's own.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(u"config"_s).toUtf8());
    qputenv("XDG_STATE_HOME", scratch.filePath(u"state"_s).toUtf8());
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
