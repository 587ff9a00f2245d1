// Typing a ten-letter query into a home of 1,000 devices: each keystroke runs the store's search, updates
// the results list's rows and renders the list, offscreen with the software renderer. The counters give
// the slowest and the mean of these frames; a frame must stay under 16 ms.
#include "benchstage.h"
#include "servedhome.h"
#include "store/home/homestore.h"
#include "support/awaittask.h"
#include "ui/screens/resultsscreen.h"
#include "ui/theme.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <vector>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

// Wall-clock and this thread's CPU time of one frame: the software renderer draws on the calling
// thread, so CPU time is the frame's own work, without the time other processes took the core.
struct FrameTimer {
    using Wall = std::chrono::steady_clock;
    Wall::time_point wallStart = Wall::now();
    double cpuStart = cpuNow();
    double wallMs = 0;
    double cpuMs = 0;

    static double cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    void stop()
    {
        wallMs = std::chrono::duration<double, std::milli>(Wall::now() - wallStart).count();
        cpuMs = cpuNow() - cpuStart;
    }
};

const char *const list = R"(import QtQuick
import Quorvane.Ui
Rectangle {
    id: stage
    required property ResultsScreen screen
    required property Motion motion
    color: Theme.surface
    ResultsList { anchors.fill: parent; screen: stage.screen; motion: stage.motion }
})";

void BM_TypeTenLetters(benchmark::State &state)
{
    SettingsStore defaults(u"bench-typing"_s);
    HomeStore store(ServedHome::client(), nullptr, nullptr, defaults);
    awaitTask(store.start());
    store.panelDidAppear();
    ResultsScreen screen(&store, nullptr);
    BenchStage stage(list, &screen, 420);
    if (!stage.error.isEmpty()) {
        state.SkipWithError(qPrintable(stage.error));
        return;
    }
    QQuickWindow &window = stage.window;

    // The first letter ever typed also loads the row types and draws each glyph for the first time.
    const QString query = u"staande la"_s; // ten characters
    FrameTimer cold;
    store.setQuery(query.left(1));
    window.grabWindow();
    cold.stop();
    store.setQuery(QString());
    window.grabWindow();

    std::vector<double> wall;
    std::vector<double> cpu;
    double worstFirst = 0; // the first letter leaves the overview: the whole list is built
    qsizetype rows = 0;
    for (auto _ : state) {
        for (qsizetype typed = 1; typed <= query.size(); ++typed) {
            FrameTimer frame;
            store.setQuery(query.left(typed));
            const QImage image = window.grabWindow();
            benchmark::DoNotOptimize(image.constBits());
            frame.stop();
            wall.push_back(frame.wallMs);
            cpu.push_back(frame.cpuMs);
            if (typed == 1)
                worstFirst = std::max(worstFirst, frame.wallMs);
        }
        rows = screen.rows()->count();
        state.PauseTiming();
        store.setQuery(QString());
        window.grabWindow();
        state.ResumeTiming();
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    const auto percentile = [](const std::vector<double> &sorted, double p) {
        return sorted.empty() ? 0.0 : sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
    };
    state.counters["cold_first_wall_ms"] = cold.wallMs;
    state.counters["cold_first_cpu_ms"] = cold.cpuMs;
    state.counters["median_wall_ms"] = percentile(wall, 0.5);
    state.counters["p99_wall_ms"] = percentile(wall, 0.99);
    state.counters["worst_wall_ms"] = wall.empty() ? 0 : wall.back();
    state.counters["worst_cpu_ms"] = cpu.empty() ? 0 : cpu.back();
    state.counters["worst_first_letter_ms"] = worstFirst;
    state.counters["frames_over_16ms"] =
        double(std::count_if(wall.begin(), wall.end(), [](double ms) { return ms > 16; }));
    state.counters["frames"] = double(wall.size());
    state.counters["rows"] = double(rows);
}

} // namespace

BENCHMARK(BM_TypeTenLetters)->Unit(benchmark::kMillisecond)->Iterations(60);

int main(int argc, char **argv)
{
    return runStagedBenchmarks(argc, argv);
}
