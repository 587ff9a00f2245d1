// The running program's main thread under live traffic: the real program, live against a fake hub of
// 1,000 devices, gets realtime capability changes, new notifications and device updates pushed at a
// steady pace. Each counter is the main thread's processor time per event in microseconds (from
// /proc/<pid>/task/<pid>/schedstat, less what the same thread spends in the same time doing nothing),
// with the panel hidden and shown, on the overview and with a query; the *_warmup_us counters are the
// first few events of a kind, which are left out of the others. notification_single is a notification
// on its own, far from any other: the median over a few of them. It pays for everything it runs having
// gone cold in the quiet before it, which a burst pays once, so on some machines it costs several times a
// burst's figure for the same work. page_hot_ns and page_rested_ns say how much the machine charges for
// memory left alone for a moment (see pageTouch).
// Processor time rather than wall time, so a busy machine changes the figures little. Needs a display, a tray
// and a Secret Service: run it under tests/e2e/run-e2e.sh, as README.md shows. QUORVANE_LIVE_BINARY names
// another build of the program to measure (an older one, for a comparison); QUORVANE_LIVE_PERF names a folder
// that gets a perf profile of the main thread for each burst.
#include "benchhome.h"
#include "fakehub/fakerealtime.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdio>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString liveLine = u"verbinding: Live verbonden."_s;
const QString shownLine = u"panel: getoond"_s;
constexpr int deviceCount = 1000;

QString binary()
{
    const QString other = qEnvironmentVariable("QUORVANE_LIVE_BINARY");
    return other.isEmpty() ? QStringLiteral(QUORVANE_BINARY) : other;
}

void runFor(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

// One run of the program in a home folder of its own.
class Program {
public:
    Program(const FakeHub &hub, const QStringList &arguments) : m_arguments(arguments)
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

    void start() { m_process.start(binary(), m_arguments); }
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
    // Nanoseconds the main thread has spent on a processor.
    qint64 mainThreadNanoseconds() const
    {
        const QString pid = QString::number(m_process.processId());
        QFile stat(u"/proc/"_s + pid + u"/task/"_s + pid + u"/schedstat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        return stat.readAll().split(' ').constFirst().toLongLong();
    }
    qint64 pid() const { return m_process.processId(); }
    void signal(int number) const { ::kill(pid_t(m_process.processId()), number); }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QStringList m_arguments;
    QString m_log;
};

// Main-thread time per event, less the idle rate measured just before.
class Meter {
public:
    Meter(Program &program) : m_program(program) {}

    void measureIdle(int milliseconds)
    {
        runFor(300);
        const qint64 before = m_program.mainThreadNanoseconds();
        QElapsedTimer clock;
        clock.start();
        runFor(milliseconds);
        m_idlePerNanosecond =
            double(m_program.mainThreadNanoseconds() - before) / double(clock.nsecsElapsed());
    }

    // Calls push(i) for i in 0..count-1, one every interval milliseconds, then lets the program settle.
    // name: the file QUORVANE_LIVE_PERF/<name>.data gets a profile of the main thread during the burst.
    template <typename Push> double perEvent(const QString &name, int count, int interval, Push push)
    {
        QProcess perf;
        startPerf(perf, name);
        const qint64 before = m_program.mainThreadNanoseconds();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i) {
            push(i);
            QDeadlineTimer next(interval, Qt::PreciseTimer);
            while (!next.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                                int(std::max<qint64>(1, next.remainingTime())));
        }
        runFor(500);
        stopPerf(perf);
        const double spent = double(m_program.mainThreadNanoseconds() - before);
        const double idle = m_idlePerNanosecond * double(clock.nsecsElapsed());
        return std::max(0.0, spent - idle) / count / 1000.0;
    }

    // Calls push(i) for i in 0..count-1 far apart, each drawn in a frame of its own, and gives the median
    // of their costs. A few events spread over seconds are too few for perEvent: the idle rate of the
    // shown panel (its breathing dot draws twenty frames a second) drifts by more than they cost. So
    // each event is measured against the window just before it, as long as the window after it, and
    // the median leaves out the windows a stray timer or a late frame fell into.
    template <typename Push> double perLoneEvent(const QString &name, int count, Push push)
    {
        // A whole number of the breathing dot's beats, so both windows hold as many of its frames.
        constexpr int window = 200;
        QProcess perf;
        startPerf(perf, name);
        std::vector<double> costs;
        for (int i = 0; i < count; ++i) {
            const qint64 start = m_program.mainThreadNanoseconds();
            QElapsedTimer clock;
            clock.start();
            runFor(window);
            const qint64 pushed = m_program.mainThreadNanoseconds();
            const qint64 quietFor = clock.nsecsElapsed();
            push(i);
            runFor(window);
            const qint64 end = m_program.mainThreadNanoseconds();
            const qint64 busyFor = clock.nsecsElapsed() - quietFor;
            const double idle = double(pushed - start) * double(busyFor) / double(quietFor);
            costs.push_back((double(end - pushed) - idle) / 1000.0);
            // Past the unread count's pace before the next one, and at another point of the breathing
            // dot's beat each time: one always just after a beat would always share its frame, or never.
            runFor(100 + (i * 17) % 50);
        }
        stopPerf(perf);
        std::nth_element(costs.begin(), costs.begin() + count / 2, costs.end());
        return std::max(0.0, costs[std::size_t(count / 2)]);
    }

private:
    void startPerf(QProcess &perf, const QString &name)
    {
        if (const QString folder = qEnvironmentVariable("QUORVANE_LIVE_PERF"); !folder.isEmpty()) {
            perf.start(u"perf"_s,
                       {u"record"_s, u"--call-graph"_s, u"dwarf,32768"_s, u"-F"_s, u"4000"_s, u"-t"_s,
                        QString::number(m_program.pid()), u"-o"_s, folder + u"/"_s + name + u".data"_s});
            runFor(500);
        }
    }
    static void stopPerf(QProcess &perf)
    {
        if (perf.state() != QProcess::NotRunning) {
            ::kill(pid_t(perf.processId()), SIGINT);
            perf.waitForFinished(60000);
        }
    }

    Program &m_program;
    double m_idlePerNanosecond = 0;
};

class Traffic {
public:
    Traffic(const FakeHub &hub, FakeRealtime &realtime) : m_realtime(realtime)
    {
        const QJsonObject devices = hub.home().value(u"devices"_s).toObject();
        for (auto it = devices.begin(); it != devices.end(); ++it) {
            const QJsonObject device = it.value().toObject();
            if (device.value(u"class"_s).toString() == u"light"_s)
                m_lights.append(it.key());
            m_devices.append(device);
        }
    }

    // Lamps in every room switched on and off in turn: each push changes what the lamp shows.
    void capability(int i)
    {
        const QString id = m_lights.at((i * 7) % m_lights.size());
        bool &on = m_on[id];
        on = !on;
        m_realtime.pushCapability(id, u"onoff"_s, on);
    }
    void notification(int i)
    {
        const QJsonObject item{
            {u"id"_s, QUuid::createUuid().toString(QUuid::WithoutBraces)},
            {u"ownerUri"_s, u"homey:manager:presence"_s},
            {u"ownerName"_s, u"Aanwezigheid"_s},
            {u"dateCreated"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
            {u"excerpt"_s, u"Iemand kwam thuis (%1)"_s.arg(i)},
        };
        m_realtime.pushEvent(u"homey:manager:notifications"_s, u"notification.create"_s, item);
    }
    // A device renamed and back again, as the hub reports a change of its settings. Like the hub, it
    // reports the device as it is now: a lamp switched earlier in the run is still switched.
    void deviceUpdate(int i)
    {
        const qsizetype at = (i * 13) % m_devices.size();
        QJsonObject device = m_devices.at(at);
        bool &renamed = m_renamed[at];
        renamed = !renamed;
        if (renamed)
            device.insert(u"name"_s, device.value(u"name"_s).toString() + u" bis"_s);
        if (const auto on = m_on.constFind(device.value(u"id"_s).toString()); on != m_on.constEnd()) {
            QJsonObject capabilities = device.value(u"capabilitiesObj"_s).toObject();
            QJsonObject onoff = capabilities.value(u"onoff"_s).toObject();
            onoff.insert(u"value"_s, *on);
            capabilities.insert(u"onoff"_s, onoff);
            device.insert(u"capabilitiesObj"_s, capabilities);
        }
        m_realtime.pushEvent(u"homey:manager:devices"_s, u"device.update"_s, device);
    }

private:
    FakeRealtime &m_realtime;
    QStringList m_lights;
    QHash<QString, bool> m_on;
    QList<QJsonObject> m_devices;
    QHash<qsizetype, bool> m_renamed;
};

struct Hub {
    FakeHub hub;
    FakeRealtime *realtime = new FakeRealtime(&hub);
    Hub()
    {
        hub.setHome(BenchHome::make(deviceCount));
        hub.listen();
    }
};

double loadAverage()
{
    QFile file(u"/proc/loadavg"_s);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').constFirst().toDouble() : -1;
}

// What this machine charges for memory left alone a moment: nanoseconds per 4 KiB page to read 16 MiB
// just after reading it, and again after 50 ms asleep. On a bare machine the two are close; on some
// virtual machines the second is ten or more times the first, and then every event of a sparse burst
// pays for it, so the figures of two machines can only be compared with these beside them.
std::pair<double, double> pageTouch()
{
    constexpr std::size_t size = 16 << 20;
    constexpr std::size_t page = 4096;
    std::vector<char> memory(size, 1);
    const auto readAll = [&] {
        QElapsedTimer clock;
        clock.start();
        long sum = 0;
        for (std::size_t at = 0; at < size; at += page)
            sum += static_cast<volatile const char &>(memory[at]);
        benchmark::DoNotOptimize(sum);
        return double(clock.nsecsElapsed()) / double(size / page);
    };
    readAll();
    const double hot = readAll();
    QThread::msleep(50);
    return {hot, readAll()};
}

// One state of the panel: the idle rate, then each kind of event. The first few events of a kind pay
// once for what the program makes on first use (the tray badge's font and outline, say) and for memory
// gone cold while the idle rate was measured; they are counted apart as <kind>_warmup_us, so that a
// burst's figure is the steady cost per event, which bounds how many events a second the main thread
// keeps up with, rather than that plus a share of a one-off that shrinks as the burst grows.
void measureState(benchmark::State &state, Program &program, Traffic &traffic, const std::string &name)
{
    constexpr int warmUp = 5;
    Meter meter(program);
    const QString prefix = QString::fromStdString(name);
    const auto measure = [&](const std::string &kind, int count, int interval, auto push) {
        meter.measureIdle(2000);
        const QString file = prefix + u"_"_s + QString::fromStdString(kind);
        state.counters[name + "_" + kind + "_warmup_us"] =
            meter.perEvent(file + u"_warmup"_s, warmUp, interval, [&](int i) { push(count + i); });
        state.counters[name + "_" + kind + "_us"] = meter.perEvent(file, count, interval, push);
    };
    measure("capability", 300, 10, [&](int i) { traffic.capability(i); });
    measure("notification", 100, 20, [&](int i) { traffic.notification(i); });
    measure("device_update", 40, 50, [&](int i) { traffic.deviceUpdate(i); });
    // One notification with nothing else happening: past the unread count's pace, so each is shown on
    // its own. Its first ones are left out as the others' are.
    const QString lone = prefix + u"_notification_single"_s;
    meter.perLoneEvent(lone + u"_warmup"_s, warmUp, [&](int i) { traffic.notification(1000 + i); });
    state.counters[name + "_notification_single_us"] =
        meter.perLoneEvent(lone, 21, [&](int i) { traffic.notification(1100 + i); });
}

// One start of the program with these arguments, measured hidden and then shown; prefix names the counters.
void measureStart(benchmark::State &state, const QStringList &arguments, const std::string &prefix)
{
    Hub hub;
    Traffic traffic(hub.hub, *hub.realtime);
    for (auto _ : state) {
        state.counters["load1"] = loadAverage();
        const auto [hot, rested] = pageTouch();
        state.counters["page_hot_ns"] = hot;
        state.counters["page_rested_ns"] = rested;
        Program program(hub.hub, arguments);
        program.start();
        if (!program.waitFor(liveLine)) {
            state.SkipWithError("not live within 60 s");
            break;
        }
        runFor(2000);
        measureState(state, program, traffic, "hidden" + prefix);
        program.signal(SIGUSR1);
        if (!program.waitFor(shownLine)) {
            state.SkipWithError("the panel did not show");
            break;
        }
        runFor(1000);
        measureState(state, program, traffic, "shown" + prefix);
    }
}

double spread(const std::vector<double> &values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

// A start with the user's arguments, on the overview.
void BM_LiveOverview(benchmark::State &state)
{
    measureStart(state, {}, "");
}
BENCHMARK(BM_LiveOverview)
    ->Iterations(1)
    ->Repetitions(3)
    ->ComputeStatistics("spread", spread)
    ->Unit(benchmark::kSecond);

// A start with a query in the field (a test instance, without a tray icon).
void BM_LiveQuery(benchmark::State &state)
{
    measureStart(state, {u"--query"_s, u"lamp"_s, u"--keep-open"_s}, "_query");
}
BENCHMARK(BM_LiveQuery)
    ->Iterations(1)
    ->Repetitions(3)
    ->ComputeStatistics("spread", spread)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr,
                     "bench_live needs a display, a tray and a Secret Service: tests/e2e/run-e2e.sh %s\n",
                     argv[0]);
        return 1;
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
