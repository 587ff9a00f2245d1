// Starting and stopping the store, loading the home, the realtime link and its reconnection.
#include "base/log.h"
#include "homey/model/homeyrealtime.h"
#include "homey/rest/homeyrestclient.h"
#include "store/home/homestore.h"

#include <cmath>
#include <exception>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString loadingText = u"Apparaten ophalen..."_s;
const QString noRealtimeText = u"Geen live-verbinding. De gegevens zijn van het laatste ophaalmoment."_s;
const QString streamEndedText = u"De live-verbinding viel weg. We proberen opnieuw te verbinden."_s;

// What one read of a load gave: a value or the error it threw.
template <typename T> struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;
};

// Started at once (tasks are eager), awaited later in the load's own order.
template <typename T> QCoro::Task<Outcome<T>> capture(QCoro::Task<T> task)
{
    Outcome<T> outcome;
    try {
        outcome.value.emplace(co_await std::move(task));
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

// The first of a hub list wins when two items share an id.
template <typename T> QHash<QString, T> byID(const QList<T> &items)
{
    QHash<QString, T> map;
    map.reserve(items.size());
    for (const T &item : items)
        if (!map.contains(item.id))
            map.insert(item.id, item);
    return map;
}

} // namespace

QStringList HomeStore::deviceIDs() const
{
    return m_devices.keys();
}

QCoro::Task<> HomeStore::start()
{
    return startTask(this);
}

QCoro::Task<> HomeStore::startTask(QPointer<HomeStore> self)
{
    if (self->m_started)
        co_return;
    self->m_started = true;
    self->m_stopped = false;
    self->setConnection(ConnectionState::connecting());
    const bool loaded = co_await load(self);
    if (!self || !loaded || self->m_stopped)
        co_return;
    co_await openSocket(self);
}

QCoro::Task<bool> HomeStore::load(QPointer<HomeStore> self)
{
    const std::shared_ptr<HomeyRESTClient> rest = self->m_restClient;
    const quint64 run = self->m_run;
    // A load that outlives its store or a stop() is abandoned, never reported.
    auto stale = [&self, run] { return !self || self->m_run != run; };

    self->setConnection(ConnectionState::loading(loadingText));
    CancelToken cancel;
    auto zonesRead = capture(rest->zones(cancel));
    auto devicesRead = capture(rest->devices(cancel));
    auto flowsRead = capture(rest->flows(cancel));
    auto moodsRead = capture(rest->moods(cancel));
    auto favoritesRead = capture(rest->favorites(cancel));
    auto systemRead = capture(rest->system(cancel));

    // Awaited in this order: the first failure in this order is the one reported, whatever failed first.
    std::exception_ptr failure;
    Outcome<QList<Zone>> zones = co_await std::move(zonesRead);
    failure = zones.error;
    if (failure)
        cancel.cancel();
    Outcome<QList<Device>> devices = co_await std::move(devicesRead);
    if (!failure && devices.error) {
        failure = devices.error;
        cancel.cancel();
    }
    Outcome<QList<Flow>> flows = co_await std::move(flowsRead);
    if (!failure && flows.error) {
        failure = flows.error;
        cancel.cancel();
    }
    Outcome<QList<Mood>> moods = co_await std::move(moodsRead);
    if (!failure && moods.error) {
        failure = moods.error;
        cancel.cancel();
    }
    Outcome<Favorites> favorites = co_await std::move(favoritesRead);
    if (!failure && favorites.error) {
        failure = favorites.error;
        cancel.cancel();
    }
    Outcome<SystemState> system = co_await std::move(systemRead);
    if (!failure && system.error)
        failure = system.error;
    if (stale())
        co_return false;
    if (failure) {
        self->fail(asHomeyError(failure));
        co_return false;
    }

    EnergyState energy;
    try {
        energy = co_await rest->energy();
    } catch (...) {
        energy = EnergyState{};
    }
    if (stale())
        co_return false;

    self->setZones(byID(*zones.value));
    self->setDevices(byID(*devices.value));
    self->setFlows(byID(*flows.value));
    self->setMoods(byID(*moods.value));
    self->m_favorites = *favorites.value;
    self->m_energy.set(energy);
    self->setSystem(*system.value);

    self->m_energy.indexSources();
    self->m_p2000.index();
    self->rebuildIndex();
    self->rebuildRest();
    self->rebuildRoom();
    self->recomputeHits();
    self->setLastError(std::nullopt);

    const bool baseline = !self->m_timelineLoaded;
    self->m_timelineLoaded = true;
    co_await loadTimeline(self, baseline);
    if (stale())
        co_return false;
    self->logSnapshot();
    co_return true;
}

void HomeStore::logSnapshot()
{
    const qsizetype controllable = std::count_if(m_devices.cbegin(), m_devices.cend(),
                                                 [](const Device &d) { return d.isControllable(); });
    auto watts = [](double w) {
        return std::isfinite(w) ? QString::number(qint64(std::clamp(w, -9.0e18, 9.0e18))) : u"0"_s;
    };
    const qsizetype meters = m_energy.generatorCount() + m_energy.gridMeterCount();
    const EnergyState &energy = m_energy.state();
    log(u"snapshot: "_s + QString::number(m_devices.size()) + u" apparaten ("_s +
        QString::number(controllable) + u" bedienbaar), "_s + QString::number(m_zones.size()) +
        u" zones, "_s + QString::number(m_flows.size()) + u" flows, "_s + QString::number(m_moods.size()) +
        u" moods, "_s + QString::number(m_index.count()) + u" doorzoekbaar. Rusttoestand: "_s +
        QString::number(m_rest.rooms.size()) + u" kamertegels (+"_s +
        QString::number(m_rest.moreRooms.size()) + u"), "_s + QString::number(m_rest.scenes.size()) +
        u" scenes, "_s + QString::number(m_rest.modes.size()) + u" modi, "_s +
        QString::number(m_rest.lightsOnTotal) + u" lampen aan. Energie: "_s + watts(energy.consumptionW) +
        u" W verbruik, "_s + watts(energy.generationW) + u" W opwek, "_s + watts(energy.netW) +
        u" W netto, live via "_s + QString::number(meters) + u" meter(s) op de socket ("_s +
        QString::number(m_energy.generatorCount()) + u" omvormer, "_s +
        QString::number(m_energy.gridMeterCount()) + u" slimme meter)."_s);
}

QCoro::Task<> HomeStore::resync()
{
    return resyncTask(this);
}

QCoro::Task<> HomeStore::resyncTask(QPointer<HomeStore> self)
{
    if (self->m_resyncInFlight)
        co_return;
    self->m_resyncInFlight = true;
    // A store that is not running (its start failed, or it never began) has no link to refresh: a
    // reload alone would leave it loading for good. It is started instead. A stopped one stays stopped.
    if (!self->m_started && !self->m_stopped) {
        QCoro::Task<> starting = startTask(self);
        co_await std::move(starting);
        if (self)
            self->m_resyncInFlight = false;
        co_return;
    }
    // A resync only refreshes the home: afterwards the store shows what its link showed before (live
    // stays live and keeps its energy poll, degraded stays degraded, a failed reload gives way to the
    // link's state), a stopped one idle. Only what the load itself showed is replaced; a state that an
    // event set meanwhile (the link dropped, or came back) stands, and a start on its way sets its own.
    const ConnectionState before = self->m_connection;
    QCoro::Task<bool> loading = load(self);
    const bool loaded = co_await std::move(loading);
    if (!self)
        co_return;
    self->m_resyncInFlight = false;
    if (!loaded || self->m_connection != ConnectionState::loading(loadingText))
        co_return;
    using Kind = ConnectionState::Kind;
    if (self->m_stopped)
        self->setConnection(ConnectionState::idle());
    else if (before.kind() != Kind::connecting && before.kind() != Kind::loading)
        self->setConnection(self->m_linkState);
}

QCoro::Task<> HomeStore::openSocket(QPointer<HomeStore> self)
{
    if (!self->m_realtime) {
        self->setConnection(ConnectionState::degraded(noRealtimeText));
        co_return;
    }
    const std::shared_ptr<HomeyRealtime> realtime = self->m_realtime;
    const quint64 run = self->m_run;
    std::shared_ptr<EventChannel<HomeyEvent>> stream;
    std::exception_ptr failure;
    try {
        stream = co_await realtime->connect(self->deviceIDs());
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self || self->m_run != run) {
        // Stopped meanwhile: a link that came up anyway is closed again, and nobody shows it live.
        if (stream)
            co_await realtime->disconnect();
        co_return;
    }
    if (failure) {
        self->fail(asHomeyError(failure));
        co_return;
    }
    self->setConnection(ConnectionState::live());
    self->setLastError(std::nullopt);
    self->m_expectInitialConnected = true;
    if (self->m_eventTask)
        self->m_eventTask->cancel();
    // An earlier pump may be waiting on its stream: ending that stream is what wakes it.
    if (self->m_stream && self->m_stream != stream)
        self->m_stream->finish();
    self->m_eventTask = CancelToken();
    self->m_stream = stream;
    pump(self, stream, *self->m_eventTask);
}

QCoro::Task<> HomeStore::pump(QPointer<HomeStore> self, std::shared_ptr<EventChannel<HomeyEvent>> stream,
                              CancelToken token)
{
    const std::shared_ptr<Clock> clock = self->m_options.clock;
    const std::shared_ptr<HomeyRealtime> realtime = self->m_realtime;
    const quint64 run = self->m_run;
    auto over = [&] { return !self || self->m_run != run || self->m_stopped || token.isCancelled(); };
    std::chrono::seconds wait = firstReconnectWait;
    for (;;) {
        for (;;) {
            std::optional<HomeyEvent> event = co_await stream->next();
            if (over())
                co_return;
            if (!event)
                break;
            self->m_applyingRealtime = true;
            self->apply(*event);
            self->m_applyingRealtime = false;
        }
        self->setConnection(ConnectionState::degraded(streamEndedText));
        for (;;) {
            co_await clock->sleep(wait, token);
            if (over() || !realtime)
                co_return;
            if (!self->m_resyncInFlight) {
                self->m_resyncInFlight = true;
                co_await load(self);
                if (!self)
                    co_return;
                self->m_resyncInFlight = false;
                if (over())
                    co_return;
            }
            std::shared_ptr<EventChannel<HomeyEvent>> next;
            try {
                next = co_await realtime->connect(self->deviceIDs());
            } catch (...) {
                next.reset();
            }
            if (over()) {
                if (next)
                    co_await realtime->disconnect();
                co_return;
            }
            if (next) {
                self->setConnection(ConnectionState::live());
                self->setLastError(std::nullopt);
                wait = firstReconnectWait;
                stream = std::move(next);
                self->m_stream = stream;
                break;
            }
            // Still away: the reload's "loading" would otherwise stand for the whole next wait.
            if (self->m_connection == ConnectionState::loading(loadingText))
                self->setConnection(ConnectionState::degraded(streamEndedText));
            wait = std::min<std::chrono::seconds>(wait * 2, longestReconnectWait);
        }
    }
}

QCoro::Task<> HomeStore::reloadFlows(QPointer<HomeStore> self)
{
    const std::shared_ptr<HomeyRESTClient> rest = self->m_restClient;
    QList<Flow> flows;
    try {
        flows = co_await rest->flows();
    } catch (...) {
        co_return;
    }
    if (!self)
        co_return;
    self->setFlows(byID(flows));
    self->rebuildIndex();
    self->rebuildRest();
    self->rebuildRoom();
    self->recomputeHits();
}

void HomeStore::fail(const HomeyError &error)
{
    setLastError(error);
    const QString title = error.errorDescription();
    setConnection(
        ConnectionState::failed(title.isEmpty() ? u"Er ging iets mis."_s : title, error.recovery()));
    // A store whose event loop runs is still running, failed reload or not: that loop reconnects by
    // itself, and a start() beside it would race it with a second connect of the same link.
    if (!m_eventTask)
        m_started = false;
}

QCoro::Task<> HomeStore::stop()
{
    return stopTask(this);
}

QCoro::Task<> HomeStore::stopTask(QPointer<HomeStore> self)
{
    self->m_stopped = true;
    self->m_started = false;
    // Work of the run that ends here finds itself stale and stops without a trace.
    ++self->m_run;
    // Dim steps still waiting are dropped with the store's run, before the panel hook could send them.
    self->m_dim.dropAll();
    self->panelDidDisappear();
    if (self->m_eventTask) {
        self->m_eventTask->cancel();
        self->m_eventTask.reset();
    }
    // The pump waits on the stream, not on its token: closing the stream lets it go, at once, so that
    // no wake-up is left pending for a loop that may not turn again.
    if (self->m_stream) {
        self->m_stream->close();
        self->m_stream.reset();
    }
    self->m_p2000.stop();
    if (const std::shared_ptr<HomeyRealtime> realtime = self->m_realtime) {
        co_await realtime->disconnect();
        if (!self)
            co_return;
    }
    // A start() made while the link closed owns the state now.
    if (self->m_stopped)
        self->setConnection(ConnectionState::idle());
}
