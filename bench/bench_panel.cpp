// The panel on screen after SIGUSR1: from the signal to the first frame the window shows, with the panel
// prewarmed and the program live against a fake hub of 1,000 devices. Needs a display; run it under
// tests/e2e/run-e2e.sh (a private Xvfb), as README.md shows.
#include "app/appdelegate.h"
#include "app/palettepanel.h"
#include "app/signalwatcher.h"
#include "benchhome.h"
#include "fakehub/fakerealtime.h"
#include "homey/auth/memorytokenstore.h"
#include "ui/symbolcatalog.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <unistd.h>

using namespace Qt::StringLiterals;
using SteadyClock = std::chrono::steady_clock;

namespace {

QCoro::Task<std::optional<QString>> fixedToken(QString token)
{
    co_return std::optional(token);
}

QCoro::Task<HomeyEndpoint> fixedEndpoint(QUrl base)
{
    co_return HomeyEndpoint{base, u"bench"_s, u"Bench"_s};
}

// Runs the event loop until done() holds; false when it did not within the time.
template <typename Done> bool runUntil(Done done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done();
}

void BM_PanelShownBySignal(benchmark::State &state)
{
    PanelController *panel = PanelController::shared();
    QQuickWindow *window = panel->window();
    for (auto _ : state) {
        panel->hide(u"bench"_s);
        runUntil([] { return false; }, 100); // the window system settles the hide
        bool drawn = false;
        const QMetaObject::Connection frame =
            QObject::connect(window, &QQuickWindow::frameSwapped, window, [&drawn] { drawn = true; });
        const SteadyClock::time_point start = SteadyClock::now();
        ::kill(::getpid(), SIGUSR1);
        const bool shown = runUntil([&drawn] { return drawn; }, 2000);
        const SteadyClock::time_point end = SteadyClock::now();
        QObject::disconnect(frame);
        if (!shown) {
            state.SkipWithError("no frame within 2 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_PanelShownBySignal)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    SignalWatcher::blockWatchedSignals();
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_panel needs a display: tests/e2e/run-e2e.sh %s\n", argv[0]);
        return 1;
    }
    QTemporaryDir home;
    for (const char *name : {"XDG_STATE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QFile::encodeName(home.path()));
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QUORVANE_REDUCE_MOTION", "1");
    QGuiApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    SymbolCatalog::loadFont();

    FakeHub hub;
    new FakeRealtime(&hub);
    hub.setHome(BenchHome::make(1000));
    if (!hub.listen())
        return 1;

    AppDelegate::Options options;
    options.arguments = {u"quorvane"_s};
    options.services = AppServices::standard(false);
    options.services.tokens = std::make_shared<MemoryTokenStore>();
    options.services.token = [token = hub.token()] { return fixedToken(token); };
    options.services.endpoint = [base = hub.baseURL()] { return fixedEndpoint(base); };
    AppDelegate delegate(std::move(options));
    delegate.applicationDidFinishLaunching();
    if (!runUntil([&] { return delegate.store()->connection() == ConnectionState::live(); }, 30000)) {
        std::fprintf(stderr, "bench_panel: the program did not go live\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
