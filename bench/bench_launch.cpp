// The program as a whole, started as a process against a fake hub on 127.0.0.1 as a user starts it (the
// renderer it picks itself, full motion; the label names the renderer): from start to live with the panel
// prewarmed (500 devices), from start with --show to the panel mapped beside rofi started the same way
// (500 devices), its resident memory once live (1,000 devices), its processor time while the panel is
// hidden and nothing happens, and while it is shown and nothing happens. Needs a display and a Secret
// Service; run it under tests/e2e/run-e2e.sh, as CONTRIBUTING.md shows. QUORVANE_LAUNCH_BINARY names
// another build of the program to measure (an older one, for a comparison).
#include "benchhome.h"
#include "fakehub/fakerealtime.h"
#include "mapwatch.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;
using SteadyClock = std::chrono::steady_clock;

namespace {

const QString liveLine = u"verbinding: Live verbonden."_s;

QString binary()
{
    const QString other = qEnvironmentVariable("QUORVANE_LAUNCH_BINARY");
    return other.isEmpty() ? QStringLiteral(QUORVANE_BINARY) : other;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One run of the program in a home folder of its own.
class Program {
public:
    explicit Program(const FakeHub &hub)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, m_home.path());
        for (const QString &name : {u"STATE"_s, u"DATA"_s, u"CONFIG"_s, u"CACHE"_s})
            environment.insert(u"XDG_"_s + name + u"_HOME"_s, m_home.path() + u"/"_s + name.toLower());
        environment.insert(u"HOMEY_BASE"_s, hub.baseURL().toString());
        environment.insert(u"HOMEY_ID"_s, u"bench"_s);
        environment.insert(u"HOMEY_TOKEN"_s, hub.token());
        m_process.setProcessEnvironment(environment);
        m_process.setStandardOutputFile(QProcess::nullDevice());
    }
    ~Program()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }

    void start(const QStringList &arguments = {}) { m_process.start(binary(), arguments); }
    // The renderer the program said it picked; a build that does not say is older.
    QString renderer()
    {
        m_log += QString::fromUtf8(m_process.readAllStandardError());
        const qsizetype at = m_log.indexOf(u"weergave: "_s);
        return at < 0 ? u"renderer not logged"_s : m_log.mid(at).section(u'\n', 0, 0).section(u" ("_s, 0, 0);
    }
    // Runs the event loop (the fake hub lives on it) until the program logged the text.
    bool waitFor(const QString &text, int milliseconds = 60000)
    {
        QDeadlineTimer deadline(milliseconds);
        while (!deadline.hasExpired()) {
            m_log += QString::fromUtf8(m_process.readAllStandardError());
            if (m_log.contains(text))
                return true;
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 2);
        }
        return false;
    }
    void idle(int milliseconds)
    {
        QDeadlineTimer deadline(milliseconds);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    // From /proc: resident memory in MiB, and user plus system time in seconds.
    double residentMiB() const
    {
        QFile status(u"/proc/"_s + QString::number(m_process.processId()) + u"/status"_s);
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
        }
        return -1;
    }
    double cpuSeconds() const
    {
        QFile stat(u"/proc/"_s + QString::number(m_process.processId()) + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        // Fields after the command name, which ends at the last ")": utime and stime are the 12th and 13th.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(::sysconf(_SC_CLK_TCK));
    }
    void signal(int number) const { ::kill(pid_t(m_process.processId()), number); }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_log;
};

std::unique_ptr<FakeHub> hubWith(int devices)
{
    auto hub = std::make_unique<FakeHub>();
    new FakeRealtime(hub.get());
    hub->setHome(BenchHome::make(devices));
    hub->listen();
    return hub;
}

void BM_ColdStartToLive(benchmark::State &state)
{
    const std::unique_ptr<FakeHub> hub = hubWith(int(state.range(0)));
    for (auto _ : state) {
        Program program(*hub);
        const SteadyClock::time_point start = SteadyClock::now();
        program.start();
        if (!program.waitFor(liveLine)) {
            state.SkipWithError("not live within 60 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(SteadyClock::now() - start).count());
        // The prewarm came before the boot: the panel was ready before the program went live.
        state.SetLabel(program.renderer().toStdString());
    }
}
BENCHMARK(BM_ColdStartToLive)->Arg(500)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_LiveAndIdle(benchmark::State &state)
{
    const std::unique_ptr<FakeHub> hub = hubWith(int(state.range(0)));
    for (auto _ : state) {
        Program program(*hub);
        program.start();
        if (!program.waitFor(liveLine)) {
            state.SkipWithError("not live within 60 s");
            break;
        }
        program.idle(2000);
        state.counters["rss_live_MiB"] = program.residentMiB();
        const double before = program.cpuSeconds();
        program.idle(10000);
        state.counters["cpu_idle_pct"] = (program.cpuSeconds() - before) / 10 * 100;
        program.signal(SIGUSR1);
        program.waitFor(u"panel: getoond"_s);
        program.idle(1000);
        state.counters["rss_shown_MiB"] = program.residentMiB();
        state.SetLabel(program.renderer().toStdString());
    }
}
BENCHMARK(BM_LiveAndIdle)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

// The panel on screen and nothing happening: the live dot breathes and the tiles of rooms with motion
// pulse. Processor time over ten seconds, as a share of one core.
void BM_ShownAndIdle(benchmark::State &state)
{
    const std::unique_ptr<FakeHub> hub = hubWith(int(state.range(0)));
    for (auto _ : state) {
        Program program(*hub);
        program.start();
        if (!program.waitFor(liveLine)) {
            state.SkipWithError("not live within 60 s");
            break;
        }
        program.signal(SIGUSR1);
        if (!program.waitFor(u"panel: getoond"_s)) {
            state.SkipWithError("not shown within 60 s");
            break;
        }
        program.idle(2000);
        const double before = program.cpuSeconds();
        program.idle(10000);
        state.counters["cpu_shown_idle_pct"] = (program.cpuSeconds() - before) / 10 * 100;
        state.counters["rss_shown_MiB"] = program.residentMiB();
        state.SetLabel(program.renderer().toStdString());
    }
}
BENCHMARK(BM_ShownAndIdle)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

// From start with --show to the panel mapped, and beside it rofi from start to its window mapped
// ("rofi -show run", the yardstick of a launcher's start). Rounds alternate which starts first, so a
// machine that gets busier or quieter during the run weighs on both alike. Counters are medians over the
// rounds; the time is the program's median.
void BM_ColdStartToMappedBesideRofi(benchmark::State &state)
{
    constexpr int rounds = 10;
    const std::unique_ptr<FakeHub> hub = hubWith(int(state.range(0)));
    MapWatch watch;
    if (!watch.ok()) {
        state.SkipWithError("no X display to watch");
        return;
    }
    const auto startToMap = [&watch](const std::function<void()> &start) -> std::optional<double> {
        watch.drain();
        const SteadyClock::time_point begin = SteadyClock::now();
        start();
        const std::optional<SteadyClock::time_point> mapped = watch.nextMap(std::chrono::seconds(30));
        if (!mapped)
            return std::nullopt;
        return std::chrono::duration<double, std::milli>(*mapped - begin).count();
    };
    for (auto _ : state) {
        std::vector<double> ours;
        std::vector<double> rofis;
        QString renderer;
        for (int round = 0; round < rounds; ++round) {
            std::optional<double> program;
            std::optional<double> rofi;
            const auto runProgram = [&] {
                Program copy(*hub);
                program = startToMap([&copy] { copy.start({u"--show"_s}); });
                if (copy.waitFor(u"opstarten klaar"_s, 10000))
                    copy.waitFor(u"weergave: "_s, 500);
                renderer = copy.renderer();
            };
            const auto runRofi = [&] {
                QProcess launcher;
                launcher.setStandardOutputFile(QProcess::nullDevice());
                launcher.setStandardErrorFile(QProcess::nullDevice());
                rofi = startToMap([&launcher] { launcher.start(u"rofi"_s, {u"-show"_s, u"run"_s}); });
                launcher.terminate();
                if (!launcher.waitForFinished(5000))
                    launcher.kill();
            };
            if (round % 2) {
                runRofi();
                runProgram();
            } else {
                runProgram();
                runRofi();
            }
            if (!program || !rofi) {
                state.SkipWithError(program ? "rofi mapped no window (is it installed?)" : "no panel mapped");
                return;
            }
            ours.push_back(*program);
            rofis.push_back(*rofi);
        }
        const auto [ourLeast, ourMost] = std::minmax_element(ours.begin(), ours.end());
        state.counters["quorvane_ms"] = median(ours);
        state.counters["quorvane_min_ms"] = *ourLeast;
        state.counters["quorvane_max_ms"] = *ourMost;
        const auto [rofiLeast, rofiMost] = std::minmax_element(rofis.begin(), rofis.end());
        state.counters["rofi_ms"] = median(rofis);
        state.counters["rofi_min_ms"] = *rofiLeast;
        state.counters["rofi_max_ms"] = *rofiMost;
        state.counters["times_rofi"] = median(ours) / std::max(median(rofis), 0.001);
        state.SetIterationTime(median(ours) / 1000);
        state.SetLabel(renderer.toStdString());
    }
}
BENCHMARK(BM_ColdStartToMappedBesideRofi)
    ->Arg(500)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_launch needs a display and a Secret Service: tests/e2e/run-e2e.sh %s\n",
                     argv[0]);
        return 1;
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
