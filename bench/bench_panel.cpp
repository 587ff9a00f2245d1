// The panel on screen after SIGUSR1: from the signal to the first frame the window shows, with the program
// live against a fake hub of 1,000 devices, as a user starts it (the renderer the program picks, full
// motion; the label names the renderer). The first show after start is measured on its own, before the
// others: it is the one that found nothing drawn yet. Needs a display; run it under tests/e2e/run-e2e.sh
// (a private Xvfb), as CONTRIBUTING.md shows.
#include "app/appdelegate.h"
#include "app/palettepanel.h"
#include "app/rendererchoice.h"
#include "app/signalwatcher.h"
#include "benchhome.h"
#include "fakehub/fakerealtime.h"
#include "homey/auth/memorytokenstore.h"
#include "ui/symbolcatalog.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSGRendererInterface>
#include <QTemporaryDir>
#include <QTimer>
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

// Runs the event loop until done() holds; false when it did not within the time. Inside an event loop,
// as the program always is: what waits for one to do its work later (a settings write goes to a worker
// then, and is written at once without one) does here what it does for users.
template <typename Done> bool runUntil(Done done, int milliseconds)
{
    QEventLoop loop;
    bool result = false;
    QTimer::singleShot(0, &loop, [&] {
        QDeadlineTimer deadline(milliseconds);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
        result = done();
        loop.quit();
    });
    loop.exec();
    return result;
}

std::string rendererName(QQuickWindow *window)
{
    const QSGRendererInterface *renderer = window->rendererInterface();
    switch (renderer ? renderer->graphicsApi() : QSGRendererInterface::Unknown) {
    case QSGRendererInterface::Software:
        return "software";
    case QSGRendererInterface::OpenGL:
        return "opengl";
    case QSGRendererInterface::Vulkan:
        return "vulkan";
    default:
        return "other";
    }
}

// One show by SIGUSR1: the time from the signal to the first frame; nothing when none came in 2 s.
std::optional<double> showBySignal(QQuickWindow *window)
{
    bool drawn = false;
    const QMetaObject::Connection frame =
        QObject::connect(window, &QQuickWindow::frameSwapped, window, [&drawn] { drawn = true; });
    const SteadyClock::time_point start = SteadyClock::now();
    ::kill(::getpid(), SIGUSR1);
    const bool shown = runUntil([&drawn] { return drawn; }, 2000);
    const SteadyClock::time_point end = SteadyClock::now();
    QObject::disconnect(frame);
    if (!shown)
        return std::nullopt;
    return std::chrono::duration<double>(end - start).count();
}

void BM_FirstShowBySignal(benchmark::State &state)
{
    QQuickWindow *window = PanelController::shared()->window();
    for (auto _ : state) {
        if (PanelController::shared()->isVisible()) {
            state.SkipWithError("the panel was shown before");
            break;
        }
        const std::optional<double> seconds = showBySignal(window);
        if (!seconds) {
            state.SkipWithError("no frame within 2 s");
            break;
        }
        state.SetIterationTime(*seconds);
    }
    state.SetLabel(rendererName(window));
}
// First: no show may come before it.
BENCHMARK(BM_FirstShowBySignal)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PanelShownBySignal(benchmark::State &state)
{
    PanelController *panel = PanelController::shared();
    QQuickWindow *window = panel->window();
    for (auto _ : state) {
        panel->hide(u"bench"_s);
        runUntil([] { return false; }, 100); // the window system settles the hide
        const std::optional<double> seconds = showBySignal(window);
        if (!seconds) {
            state.SkipWithError("no frame within 2 s");
            break;
        }
        state.SetIterationTime(*seconds);
    }
    state.SetLabel(rendererName(window));
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
    // As the program's own start does.
    RendererChoice::apply(RendererChoice::choose(QProcessEnvironment::systemEnvironment()));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
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
    // A person presses the hot key a while after the start, not the moment the home came in.
    runUntil([] { return false; }, 1000);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
