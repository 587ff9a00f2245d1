#include "store/home/homestore.h"

#include "homey/model/homeyrealtime.h"
#include "homey/rest/homeyrestclient.h"
#include "store/notifications/notificationfeed.h"
#include "store/overview/restbuilder.h"

using namespace Qt::StringLiterals;

HomeStore::HomeStore(std::shared_ptr<HomeyRESTClient> rest, std::shared_ptr<HomeyRealtime> realtime,
                     NotificationFeed *notifications, SettingsStore defaults, Options options,
                     QObject *parent)
    : QObject(parent), m_notifications(notifications), m_restClient(std::move(rest)),
      m_realtime(std::move(realtime)), m_defaults(std::move(defaults)), m_options(std::move(options)),
      m_dim(m_options.clock),
      m_energy(m_restClient, m_options.clock, m_options.logsEnergy, m_devices, m_connection),
      m_p2000(m_options.clock, m_devices)
{
    connect(&m_energy, &EnergyTotals::changed, this, &HomeStore::energyChanged);
    // Every change of the devices announces itself: counted, so the search knows when one device alone
    // changed since it last scored.
    connect(this, &HomeStore::devicesChanged, this, [this] { ++m_deviceChanges; });
    connect(&m_p2000, &P2000Tracker::settled, this, &HomeStore::flushP2000);
    // The panel starts hidden.
    if (m_realtime)
        m_realtime->setInBackground(true);
    if (!m_notifications)
        m_notifications = new NotificationFeed(m_defaults, {}, this);
    loadRecent();
}

HomeStore::~HomeStore()
{
    // Wakes every sleeping task of this store; each then finds the store gone and ends.
    m_stopped = true;
    ++m_run;
    if (m_eventTask)
        m_eventTask->cancel();
    // The pump waiting on the stream ends here and now: a store destroyed as the program ends would
    // otherwise leave it, and the link it holds, waiting for an event loop that never turns again.
    if (m_stream)
        m_stream->close();
    m_lifetime.cancel();
}

// --- Property plumbing ------------------------------------------------------------------------------

void HomeStore::setConnection(ConnectionState state)
{
    using Kind = ConnectionState::Kind;
    if (state.kind() == Kind::live || state.kind() == Kind::degraded || state.kind() == Kind::idle)
        m_linkState = state;
    assign(m_connection, std::move(state), &HomeStore::connectionChanged);
}

void HomeStore::setRest(RestState rest)
{
    assign(m_rest, std::move(rest), &HomeStore::restChanged);
}

void HomeStore::setHits(QList<Hit> hits, int matchCount)
{
    // The count first: whoever hears of the hits reads both.
    assign(m_matchCount, matchCount, &HomeStore::matchCountChanged);
    assign(m_hits, std::move(hits), &HomeStore::hitsChanged);
}

void HomeStore::setQuery(const QString &query)
{
    const Mode before = mode();
    if (!assign(m_query, query, &HomeStore::queryChanged))
        return;
    announceMode();
    // A search's new rows start from the top: the selection keeps its place, which the palette puts there.
    // A filter cleared brings back the rows it hid on the same screen, the chosen one among them: the
    // selection stays on that row. Another screen (back on the overview) puts its own selection.
    const SelectionRule rule =
        !isSearching() && mode() == before ? SelectionRule::followRow : SelectionRule::keepPlace;
    rebuildRoom(rule);
    recomputeHits(std::nullopt, rule);
}

void HomeStore::setSelection(int selection)
{
    assign(m_selection, selection, &HomeStore::selectionChanged);
}

void HomeStore::setScopeZoneID(std::optional<QString> zoneID)
{
    if (assign(m_scopeZoneID, std::move(zoneID), &HomeStore::scopeZoneIDChanged))
        announceMode();
}

void HomeStore::setRoom(std::optional<RoomScope> room)
{
    assign(m_room, std::move(room), &HomeStore::roomChanged);
}

void HomeStore::setRoomHits(QList<Hit> hits)
{
    assign(m_roomHits, std::move(hits), &HomeStore::roomHitsChanged);
}

void HomeStore::setDetailDeviceID(const std::optional<QString> &deviceID)
{
    assign(m_detailDeviceID, deviceID, &HomeStore::detailDeviceIDChanged);
}

void HomeStore::setLastError(std::optional<HomeyError> error)
{
    // HomeyError has no equality in the observers' eyes: every assignment is news.
    m_lastError = std::move(error);
    Q_EMIT lastErrorChanged();
}

void HomeStore::setSystem(SystemState system)
{
    assign(m_system, std::move(system), &HomeStore::systemChanged);
}

void HomeStore::setDevices(DeviceMap devices)
{
    m_zoneDevices.clear();
    assign(m_devices, std::move(devices), &HomeStore::devicesChanged);
}

void HomeStore::putDevice(const Device &device)
{
    if (const auto known = m_devices.constFind(device.id);
        known == m_devices.constEnd() || known->zoneID != device.zoneID)
        m_zoneDevices.clear();
    m_devices.insert(device.id, device);
    Q_EMIT devicesChanged();
}

void HomeStore::setZones(ZoneMap zones)
{
    assign(m_zones, std::move(zones), &HomeStore::zonesChanged);
}

void HomeStore::setFlows(FlowMap flows)
{
    assign(m_flows, std::move(flows), &HomeStore::flowsChanged);
}

void HomeStore::setMoods(MoodMap moods)
{
    assign(m_moods, std::move(moods), &HomeStore::moodsChanged);
}

void HomeStore::setShowsNotifications(bool shows)
{
    if (assign(m_showsNotifications, shows, &HomeStore::showsNotificationsChanged))
        announceMode();
}

void HomeStore::setRecent(const RecentUses &recent)
{
    assign(m_recent, recent, &HomeStore::recentChanged);
}

void HomeStore::setEventCount(int count)
{
    assign(m_eventCount, count, &HomeStore::eventCountChanged);
}

void HomeStore::announceMode()
{
    assign(m_announcedMode, mode(), &HomeStore::modeChanged);
}

HomeyError HomeStore::asHomeyError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(std::move(error));
    } catch (const HomeyError &homey) {
        return homey;
    } catch (const std::exception &other) {
        return HomeyError::socket(QString::fromUtf8(other.what()));
    } catch (...) {
        return HomeyError::socket(u"onbekende fout"_s);
    }
}

// --- Derived data -----------------------------------------------------------------------------------

void HomeStore::rebuildIndex()
{
    m_index = SearchIndex(m_devices, m_zones, m_flows, m_moods);
    m_sceneTwins = HomeMaps::sceneTwinDeviceIDs(m_devices, m_flows, m_moods);
}

void HomeStore::rebuildRest()
{
    changeRows(SelectionRule::followRow,
               [&] { setRest(RestBuilder::build(m_devices, m_zones, m_flows, m_moods, m_favorites)); });
}

void HomeStore::refreshDerived(bool rest, bool room, const std::optional<QString> &changedDeviceID)
{
    if (!m_panelVisible) {
        m_derivedStale = true;
        return;
    }
    if (rest)
        rebuildRest();
    if (room)
        rebuildRoom();
    recomputeHits(changedDeviceID);
}

void HomeStore::refreshDerived(const Device &before, const Device &after, bool rest, bool room)
{
    if (!m_panelVisible) {
        m_derivedStale = true;
        return;
    }
    if (rest)
        updateRest(before, after);
    if (room)
        rebuildRoom();
    recomputeHits(after.id);
}

void HomeStore::updateRest(const Device &before, const Device &after)
{
    // Within a batch the overview waits for the batch's end, and builds from scratch then.
    RestState rest = m_rest;
    if (m_derivedBatch > 0 || !RestBuilder::update(rest, before, after, m_devices, m_zones, m_favorites,
                                                   m_sceneTwins, &m_zoneDevices)) {
        rebuildRest();
        return;
    }
    changeRows(SelectionRule::followRow, [&] { setRest(std::move(rest)); });
}

// --- Panel visibility ------------------------------------------------------------------------------

void HomeStore::panelDidAppear()
{
    const bool wasVisible = std::exchange(m_panelVisible, true);
    if (m_realtime)
        m_realtime->setInBackground(false);
    if (m_derivedStale) {
        m_derivedStale = false;
        rebuildRest();
        rebuildRoom();
        recomputeHits();
    }
    m_energy.panelDidAppear();
    if (!wasVisible)
        Q_EMIT panelVisibleChanged();
}

void HomeStore::drawAhead(const std::function<void()> &draw)
{
    if (m_panelVisible) {
        draw();
        return;
    }
    m_panelVisible = true;
    if (std::exchange(m_derivedStale, false)) {
        rebuildRest();
        rebuildRoom();
        recomputeHits();
    }
    // The views that follow only a shown panel catch up on the news.
    Q_EMIT panelVisibleChanged();
    draw();
    m_panelVisible = false;
    Q_EMIT panelVisibleChanged();
}

void HomeStore::panelDidDisappear()
{
    const bool wasVisible = std::exchange(m_panelVisible, false);
    if (m_realtime)
        m_realtime->setInBackground(true);
    m_energy.panelDidDisappear();
    flushWaitingRoomDim();
    if (wasVisible)
        Q_EMIT panelVisibleChanged();
}

QCoro::Task<> HomeStore::holdBatch(int milliseconds)
{
    return holdBatchTask(this, milliseconds);
}

QCoro::Task<> HomeStore::holdBatchTask(QPointer<HomeStore> self, int milliseconds)
{
    ++self->m_derivedBatch;
    const std::shared_ptr<Clock> clock = self->m_options.clock;
    co_await clock->sleep(std::chrono::milliseconds(std::max(milliseconds, 0)), self->m_lifetime);
    if (!self)
        co_return;
    --self->m_derivedBatch;
    self->rebuildRest();
    self->rebuildRoom();
    self->recomputeHits();
}
