// The program as a whole, started as a process against a fake hub on 127.0.0.1: from start to live with
// the panel prewarmed (500 devices), its resident memory once live (1,000 devices) and its processor time
// while the panel is hidden and nothing happens. Needs a display and a Secret Service; run it under
// tests/e2e/run-e2e.sh, as README.md shows.
#include "benchhome.h"
#include "fakehub/fakerealtime.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

using namespace Qt::StringLiterals;
using SteadyClock = std::chrono::steady_clock;

namespace {

const QString liveLine = u"verbinding: Live verbonden."_s;

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
        environment.insert(u"QT_QUICK_BACKEND"_s, u"software"_s);
        m_process.setProcessEnvironment(environment);
        m_process.setStandardOutputFile(QProcess::nullDevice());
    }
    ~Program()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }

    void start() { m_process.start(QStringLiteral(QUORVANE_BINARY), QStringList()); }
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
    }
}
BENCHMARK(BM_LiveAndIdle)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

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
