// Lamps switched at the hub while the panel shows the overview of a 1,000-device home: each change goes
// through the store into the overview's room tiles, mode chips and headline (their QML bindings and
// text layout). In the process and back to back, so the figure is the work itself, without what a
// machine charges for memory left alone between the live program's events (see bench_live); a change
// to the overview's code can be weighed here in a minute. The drawn variant also renders a frame after
// every third change, as the live program draws about one frame per three changes of a burst; it
// renders the whole window, where the live program redraws only what changed.
#include "awaittask.h"
#include "fakerestclient.h"
#include "generatedhome.h"
#include "store/home/homestore.h"
#include "store/home/homestoreprobe.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/screens/restscreen.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <benchmark/benchmark.h>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
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
    const GeneratedHome::Home &home = GeneratedHome::home();
    auto rest = std::make_shared<FakeRestClient>(Clock::system());
    rest->home.zones = home.zones.values();
    rest->home.devices = home.devices.values();
    rest->home.flows = home.flows.values();
    rest->home.moods = home.moods.values();
    // Without favourites, as in bench_live's home: the mode chips are the first lit lamps by name.
    HomeStore store(rest, nullptr, nullptr, SettingsStore(u"bench-overview"_s));
    awaitTask(store.start());
    store.panelDidAppear();

    PanelVisibility visibility;
    visibility.set(true);
    MotionPreference preference(true, nullptr); // no animations: each change settles at once
    Motion motion(&visibility, &preference);
    RestScreen screen(&store);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(overview, QUrl(u"qrc:/bench.qml"_s));
    std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem *>(component.createWithInitialProperties(
        {{u"screen"_s, QVariant::fromValue(&screen)}, {u"motion"_s, QVariant::fromValue(&motion)}})));
    if (!root) {
        state.SkipWithError(qPrintable(component.errorString()));
        return;
    }
    QQuickWindow window;
    root->setParentItem(window.contentItem());
    root->setSize(QSizeF(Theme::panelWidth, Theme::panelHeight));
    window.resize(int(Theme::panelWidth), int(Theme::panelHeight));
    window.show();
    window.grabWindow();

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
        if (drawn && ++step % 3 == 0)
            benchmark::DoNotOptimize(window.grabWindow().constBits());
        else if (!drawn)
            ++step;
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
    // The store keeps its recent rows and the log under these folders: never the user's own.
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(u"config"_s).toUtf8());
    qputenv("XDG_STATE_HOME", scratch.filePath(u"state"_s).toUtf8());
    qputenv("QT_QUICK_BACKEND", "software");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    SymbolCatalog::loadFont();
    Theme::useFamilies(u"DejaVu Sans"_s, u"DejaVu Sans Mono"_s);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
