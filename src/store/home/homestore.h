#pragma once

#include "base/async/canceltoken.h"
#include "base/async/clock.h"
#include "base/async/eventchannel.h"
#include "base/settingsstore.h"
#include "homey/model/connectionstate.h"
#include "homey/model/energystate.h"
#include "homey/model/favorites.h"
#include "homey/model/hit.h"
#include "homey/model/homemaps.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyevent.h"
#include "homey/model/homeynotification.h"
#include "homey/model/reststate.h"
#include "homey/model/roomscope.h"
#include "homey/model/systemstate.h"
#include "store/home/dimcoalescer.h"
#include "store/home/energytotals.h"
#include "store/home/p2000tracker.h"
#include "store/home/pendingwrites.h"
#include "store/home/runaction.h"
#include "store/notifications/notificationfeed.h"
#include "store/overview/zonedevices.h"
#include "store/search/searchindex.h"
#include "store/search/searchverb.h"

#include <chrono>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class HomeyRESTClient;
class HomeyRealtime;
struct Room;

struct HomeStoreOptions {
    std::shared_ptr<Clock> clock = Clock::system();
    // "--debug-energy": log every change of the energy totals.
    bool logsEnergy = false;
};

// The one store of the home for the panel: the hub's home, kept live, everything derived from it, and
// the panel's query, room, selection and notification list. Lives on the main thread. Every property
// announces itself only when its value really changes, except lastError, which announces every
// assignment. Commands never throw: a failure shows in lastError.
//
// Every operation that waits runs as a coroutine that holds the store through a QPointer and the hub
// clients through shared pointers, and re-checks the store after each await, so a store that is
// replaced mid-flight is never touched again.
class HomeStore : public QObject {
    Q_OBJECT
    // The shared state, in one table.
    Q_PROPERTY(ConnectionState connection READ connection NOTIFY connectionChanged)
    Q_PROPERTY(RestState rest READ rest NOTIFY restChanged)
    Q_PROPERTY(QList<Hit> hits READ hits NOTIFY hitsChanged)
    // How many rows the search found: the hits, and those past the limit.
    Q_PROPERTY(int matchCount READ matchCount NOTIFY matchCountChanged)
    Q_PROPERTY(EnergyState energy READ energy NOTIFY energyChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(int selection READ selection WRITE setSelection NOTIFY selectionChanged)
    Q_PROPERTY(std::optional<QString> scopeZoneID READ scopeZoneID NOTIFY scopeZoneIDChanged)
    Q_PROPERTY(std::optional<RoomScope> room READ room NOTIFY roomChanged)
    Q_PROPERTY(QList<Hit> roomHits READ roomHits NOTIFY roomHitsChanged)
    Q_PROPERTY(std::optional<QString> detailDeviceID READ detailDeviceID WRITE setDetailDeviceID NOTIFY
                   detailDeviceIDChanged)
    Q_PROPERTY(std::optional<HomeyError> lastError READ lastError NOTIFY lastErrorChanged)
    Q_PROPERTY(SystemState system READ system NOTIFY systemChanged)
    Q_PROPERTY(NotificationFeed *notifications READ notifications CONSTANT)
    Q_PROPERTY(DeviceMap devices READ devices NOTIFY devicesChanged)
    Q_PROPERTY(ZoneMap zones READ zones NOTIFY zonesChanged)
    Q_PROPERTY(FlowMap flows READ flows NOTIFY flowsChanged)
    Q_PROPERTY(MoodMap moods READ moods NOTIFY moodsChanged)
    Q_PROPERTY(bool showsNotifications READ showsNotifications NOTIFY showsNotificationsChanged)
    Q_PROPERTY(RecentUses recent READ recent NOTIFY recentChanged)
    Q_PROPERTY(int eventCount READ eventCount NOTIFY eventCountChanged)
    // Derived: announced when one of the properties it follows changes it.
    Q_PROPERTY(Mode mode READ mode NOTIFY modeChanged)

public:
    // The screen the panel shows.
    enum class Mode { Rest, Results, Room, Notifications };
    Q_ENUM(Mode)

    // The focused element of the idle overview, by index into rest().scenes, rooms or modes.
    struct RestFocus {
        enum class Kind { Scene, Room, Mode };
        Kind kind;
        int index;
        bool operator==(const RestFocus &) const = default;
    };

    using Options = HomeStoreOptions;

    static constexpr int hitLimit = 30;
    static constexpr int roomSearchLimit = 250;
    static constexpr int recentCutAbove = 200;
    static constexpr int recentKeep = 100;
    static constexpr int maxWritesInFlight = 6;
    static constexpr std::chrono::milliseconds pendingLifetime{2000};
    static constexpr std::chrono::milliseconds lampDimQuiet{120};
    static constexpr std::chrono::milliseconds roomDimQuiet{140};
    static constexpr std::chrono::milliseconds energyThrottle = EnergyTotals::throttle;
    static constexpr std::chrono::milliseconds energyPollInterval = EnergyTotals::pollInterval;
    static constexpr std::chrono::milliseconds p2000Quiet = P2000Tracker::quiet;
    static constexpr std::chrono::seconds firstReconnectWait{1};
    static constexpr std::chrono::seconds longestReconnectWait{30};
    static inline const QString recentKey = QStringLiteral("quorvane.recent");

    // Without a feed the store makes its own over the same defaults. Makes no request and starts nothing.
    HomeStore(std::shared_ptr<HomeyRESTClient> rest, std::shared_ptr<HomeyRealtime> realtime,
              NotificationFeed *notifications, SettingsStore defaults, Options options = {},
              QObject *parent = nullptr);
    ~HomeStore() override;

    // --- Shared state -------------------------------------------------------------------------------
    const ConnectionState &connection() const { return m_connection; }
    const RestState &rest() const { return m_rest; }
    const QList<Hit> &hits() const { return m_hits; }
    int matchCount() const { return m_matchCount; }
    const EnergyState &energy() const { return m_energy.state(); }
    const QString &query() const { return m_query; }
    void setQuery(const QString &query);
    int selection() const { return m_selection; }
    void setSelection(int selection);
    const std::optional<QString> &scopeZoneID() const { return m_scopeZoneID; }
    const std::optional<RoomScope> &room() const { return m_room; }
    const QList<Hit> &roomHits() const { return m_roomHits; }
    const std::optional<QString> &detailDeviceID() const { return m_detailDeviceID; }
    void setDetailDeviceID(const std::optional<QString> &deviceID);
    const std::optional<HomeyError> &lastError() const { return m_lastError; }
    const SystemState &system() const { return m_system; }
    NotificationFeed *notifications() const { return m_notifications; }
    const DeviceMap &devices() const { return m_devices; }
    const ZoneMap &zones() const { return m_zones; }
    const FlowMap &flows() const { return m_flows; }
    const MoodMap &moods() const { return m_moods; }
    bool showsNotifications() const { return m_showsNotifications; }
    const RecentUses &recent() const { return m_recent; }
    // Only stores and announces; remember() is what persists.
    void setRecent(const RecentUses &recent);
    int eventCount() const { return m_eventCount; }

    // --- Lifecycle, loading and reconnection ---------------------------------------------------------
    QCoro::Task<> start();
    QCoro::Task<> stop();
    QCoro::Task<> resync();
    // One event of the realtime link, as the link hands it over (tests and benchmarks feed it directly).
    void apply(const HomeyEvent &event);

    // --- Panel hooks and batches ---------------------------------------------------------------------
    void panelDidAppear();
    void panelDidDisappear();
    // Runs draw with what the views show brought up to date as for a show, while the panel stays hidden:
    // the hidden panel is drawn ahead of its first show. Nothing else a shown panel starts (the energy
    // poll, the realtime link's pace) starts.
    void drawAhead(const std::function<void()> &draw);
    // Whether the panel is on screen; what only draws follows the store while it is.
    bool isPanelVisible() const { return m_panelVisible; }
    // Whether what changes now comes from the hub's realtime stream rather than from the person: views
    // may pace such changes.
    bool isApplyingRealtime() const { return m_applyingRealtime; }
    QCoro::Task<> holdBatch(int milliseconds);

    // --- Room scope -----------------------------------------------------------------------------------
    void enterScope(const QString &zoneID);
    void exitScope();
    std::optional<QString> zoneID(const QString &named) const;
    std::optional<Zone> zone(const QString &zoneID) const;
    std::optional<Device> device(const QString &deviceID) const;
    // The zone's controllable devices, lights first, each group by name.
    QList<Device> devices(const QString &inZone) const;
    double roomDimLevel() const;
    Hit roomHit(const Room &room) const;

    // --- Selection, modes and rows --------------------------------------------------------------------
    Mode mode() const;
    bool isSearching() const;
    // The verb the last search read off the query, which running a row acts on.
    const std::optional<SearchVerb> &verb() const { return m_verb; }
    bool isScoped() const { return m_scopeZoneID.has_value(); }
    std::optional<RestFocus> restFocus() const;
    int restRowCount() const;
    int roomRowOffset() const;
    std::optional<Hit> selectedHit() const;
    std::optional<Hit> scopeHit() const;
    void moveSelection(int step);
    void toggleDetail();
    void closeDetail();
    QList<HomeyNotification> notificationRows() const;
    void enterNotifications();
    void exitNotifications();

    // --- Writes and commands --------------------------------------------------------------------------
    // The generic write of the device controls: exactly this capability.
    QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value);
    QCoro::Task<> run(Hit hit);
    // What run() does with the hit now, with the verb the query carries: the palette names it beside
    // Return, and shows no Return where it is Nothing.
    RunAction runAction(const Hit &hit) const;
    QCoro::Task<> runScene(int position);
    QCoro::Task<> toggle(QString deviceID);
    QCoro::Task<> toggleSelection();
    // What toggleSelection() does with the hit now: the palette offers its toggle key only where this
    // is not Nothing.
    RunAction toggleAction(const Hit &hit) const;
    QCoro::Task<> allOff(QString zoneID);

    // Our writes that wait for the hub's echo; tests plant and clear records here.
    const PendingWrites &pendingWrites() const { return m_pending; }
    PendingWrites &pendingWrites() { return m_pending; }

    // --- Dimming --------------------------------------------------------------------------------------
    QCoro::Task<> setDim(QString deviceID, double level);
    void nudgeDim(const QString &deviceID, double step);
    QCoro::Task<> setTarget(QString deviceID, double value);
    QCoro::Task<> setAllDim(QString zoneID, double level);
    void nudgeRoomDim(double step);
    void scrubRoomDim(double level);

Q_SIGNALS:
    void connectionChanged();
    void restChanged();
    void hitsChanged();
    void matchCountChanged();
    void energyChanged();
    void queryChanged();
    void selectionChanged();
    void scopeZoneIDChanged();
    void roomChanged();
    void roomHitsChanged();
    void detailDeviceIDChanged();
    void lastErrorChanged();
    void systemChanged();
    void devicesChanged();
    void zonesChanged();
    void flowsChanged();
    void moodsChanged();
    void showsNotificationsChanged();
    void recentChanged();
    void eventCountChanged();
    void modeChanged();
    // After the panel showed (and the derived data caught up) or hid.
    void panelVisibleChanged();

private:
    // One write of a batch.
    struct WriteJob {
        enum class Kind { Set, Dim };
        Kind kind = Kind::Set;
        QString deviceID;
        QString capabilityID;                   // Set
        CapabilityValue value;                  // Set
        std::optional<CapabilityValue> restore; // Set: what a failure puts back, when not the value shown
        double level = 0;                       // Dim
        std::optional<Device> before;           // Dim: the lamp as the hub last had it, under a preview
    };

    // --- Property plumbing (homestore.cpp) -----------------------------------------------------------
    // Stores value; announces through changed only when it differs.
    template <typename T> bool assign(T &field, T value, void (HomeStore::*changed)())
    {
        if (field == value)
            return false;
        field = std::move(value);
        announce(changed);
        return true;
    }
    // Emits changed now, or, while rows are being changed, once the selection has moved with them.
    void announce(void (HomeStore::*changed)());
    void setConnection(ConnectionState state);
    void setRest(RestState rest);
    void setHits(QList<Hit> hits, int matchCount);
    void setScopeZoneID(std::optional<QString> zoneID);
    void setRoom(std::optional<RoomScope> room);
    void setRoomHits(QList<Hit> hits);
    // Always announced.
    void setLastError(std::optional<HomeyError> error);
    void setSystem(SystemState system);
    void setDevices(DeviceMap devices);
    // One device replaced in place: always announced.
    void putDevice(const Device &device);
    void setZones(ZoneMap zones);
    void setFlows(FlowMap flows);
    void setMoods(MoodMap moods);
    void setShowsNotifications(bool shows);
    void setEventCount(int count);
    void announceMode();
    // Any failure as the HomeyError that lastError holds.
    static HomeyError asHomeyError(std::exception_ptr error);

    // --- Derived data and panel visibility (homestore.cpp) -------------------------------------------
    void rebuildIndex();
    // The index after one device changed from before (none: a new one) to after: in place where it can.
    // False when the whole index was rebuilt, the scene twins with it.
    bool updateIndex(const std::optional<Device> &before, const Device &after);
    // The index after a zone changed from before (none: a new one) to after: in place where it can.
    void updateIndex(const std::optional<Zone> &before, const Zone &after);
    void rebuildRest();
    // changedDeviceID: the one device that changed, when only one did.
    void refreshDerived(bool rest, bool room, const std::optional<QString> &changedDeviceID = std::nullopt);
    // The same after one device changed from before: the overview follows that device alone.
    void refreshDerived(const Device &before, const Device &after, bool rest, bool room);
    void updateRest(const Device &before, const Device &after);
    static QCoro::Task<> holdBatchTask(QPointer<HomeStore> self, int milliseconds);

    // --- Lifecycle (homestore_lifecycle.cpp) ----------------------------------------------------------
    static QCoro::Task<> startTask(QPointer<HomeStore> self);
    static QCoro::Task<> stopTask(QPointer<HomeStore> self);
    static QCoro::Task<> resyncTask(QPointer<HomeStore> self);
    static QCoro::Task<bool> load(QPointer<HomeStore> self);
    static QCoro::Task<> openSocket(QPointer<HomeStore> self);
    static QCoro::Task<> pump(QPointer<HomeStore> self, std::shared_ptr<EventChannel<HomeyEvent>> stream,
                              CancelToken token);
    static QCoro::Task<> reloadFlows(QPointer<HomeStore> self);
    void fail(const HomeyError &error);
    void logSnapshot();
    QStringList deviceIDs() const;

    // --- Realtime events (homestore_events.cpp) -------------------------------------------------------
    void applyCapability(const HomeyEvent::Capability &event);
    static bool affectsRest(const QString &capabilityID);
    static QString describe(const CapabilityValue &value);

    // --- Timeline and P2000 (homestore_timeline.cpp) -------------------------------------------------
    void flushP2000();
    void seedP2000();
    static QCoro::Task<> loadTimeline(QPointer<HomeStore> self, bool baseline);

    // What a rebuild of the rows does with the selection. It follows its row (the same device, room,
    // flow or mood) wherever the rows ranked or refreshed again, or a filter cleared, put it, and keeps its
    // place, clamped, only where that row is gone; a new search keeps the place alone, so that it starts
    // from the top.
    enum class SelectionRule { followRow, keepPlace };

    // --- Query, hits and recent uses (homestore_query.cpp) --------------------------------------------
    // changedDeviceID: the one device that changed since the last search, when only one did.
    void recomputeHits(const std::optional<QString> &changedDeviceID = std::nullopt,
                       SelectionRule rule = SelectionRule::followRow);
    void remember(const QString &hitID);
    void loadRecent();

    // --- Room scope (homestore_scope.cpp) -------------------------------------------------------------
    void rebuildRoom(SelectionRule rule = SelectionRule::followRow);
    RoomSection::Kind section(const Device &device) const;
    // The room's plain lights: in the zone, class light, not guarded, not a scene twin.
    QList<Device> lights(const QString &inZone) const;
    bool isPlainLight(const Device &device) const;
    // Whether a lamp of the zone has a switch that the room's commands reach.
    bool hasSwitchableLamp(const QString &zoneID) const;
    // The hit's device as the home holds it; nullptr for any other hit and for a device it lost.
    const Device *deviceOf(const Hit &hit) const;

    // --- Selection (homestore_selection.cpp) ----------------------------------------------------------
    int rowCount() const;
    void clampSelection();
    // The selected row, by its hit's id, on the screen it was selected on.
    struct RowMark {
        Mode mode;
        QString hitID;
    };
    std::optional<RowMark> markSelection() const;
    // Where the row with this hit's id stands among the rows of the screen on show.
    std::optional<int> rowIndex(const QString &hitID) const;
    // Runs change, which replaces rows, and then moves the selection by rule. Whoever hears of the new
    // rows or of the selection hears of them once both are in place.
    void changeRows(SelectionRule rule, const std::function<void()> &change);

    // --- Writes and commands (homestore_writes.cpp, homestore_commands.cpp) ---------------------------
    // restore, when given, is what a failure puts back instead of the value shown when the write began
    // (that value may be a local preview the hub never had).
    static QCoro::Task<> write(QPointer<HomeStore> self, QString deviceID, QString capabilityID,
                               CapabilityValue value, std::optional<CapabilityValue> restore = std::nullopt);
    void applyLocal(const QString &deviceID, const QString &capabilityID, const CapabilityValue &value);
    static QCoro::Task<> perform(QPointer<HomeStore> self, QList<WriteJob> jobs);
    static QCoro::Task<> performLane(QPointer<HomeStore> self, QList<WriteJob> jobs, int lane, int lanes);
    static QCoro::Task<> runTask(QPointer<HomeStore> self, Hit hit);
    static QCoro::Task<> runDefault(QPointer<HomeStore> self, Device device);
    static QCoro::Task<> toggleTask(QPointer<HomeStore> self, QString deviceID);
    static QCoro::Task<> toggleSelectionTask(QPointer<HomeStore> self);
    static QCoro::Task<> startFlowOrMood(QPointer<HomeStore> self, Hit::Target target);
    // before: the lights as the hub last had them, when a local preview has changed them since.
    static QCoro::Task<> setAllLights(QPointer<HomeStore> self, QString zoneID, bool on,
                                      std::optional<DeviceMap> before = std::nullopt);
    static QCoro::Task<> runBatch(QPointer<HomeStore> self, QList<WriteJob> jobs);
    bool anyLightOn(const QString &zoneID) const;

    // --- Dimming (homestore_dimming.cpp) --------------------------------------------------------------
    // before: the lamp as the hub last had it, when a nudge has previewed it since.
    static QCoro::Task<> setDimTask(QPointer<HomeStore> self, QString deviceID, double level,
                                    std::optional<Device> before = std::nullopt);
    static QCoro::Task<> setTargetTask(QPointer<HomeStore> self, QString deviceID, double value);
    static QCoro::Task<> setAllDimTask(QPointer<HomeStore> self, QString zoneID, double level,
                                       std::optional<DeviceMap> before = std::nullopt);
    static QCoro::Task<> flushDim(QPointer<HomeStore> self, QString deviceID);
    static QCoro::Task<> flushRoomDim(QPointer<HomeStore> self, QString zoneID);
    void applyLocalRoomDim(const QString &zoneID, double level);
    // Writes a room level that is still waiting, at once (leaving the room, hiding the panel).
    void flushWaitingRoomDim();
    static double clampLevel(double level);

    // --- Stored state ---------------------------------------------------------------------------------
    // Shared.
    ConnectionState m_connection;
    RestState m_rest;
    QList<Hit> m_hits;
    int m_matchCount = 0;
    QString m_query;
    int m_selection = 0;
    std::optional<QString> m_scopeZoneID;
    std::optional<RoomScope> m_room;
    QList<Hit> m_roomHits;
    std::optional<QString> m_detailDeviceID;
    std::optional<HomeyError> m_lastError;
    SystemState m_system;
    NotificationFeed *m_notifications = nullptr;
    DeviceMap m_devices;
    ZoneDevices m_zoneDevices{m_devices}; // cleared wherever a device comes, goes or moves
    ZoneMap m_zones;
    FlowMap m_flows;
    MoodMap m_moods;
    bool m_showsNotifications = false;
    RecentUses m_recent;
    int m_eventCount = 0;
    Mode m_announcedMode = Mode::Rest;
    // Announcements held while rows change (changeRows), in the order they were made.
    int m_rowsChanging = 0;
    QList<void (HomeStore::*)()> m_heldAnnouncements;

    // Private.
    const std::shared_ptr<HomeyRESTClient> m_restClient;
    const std::shared_ptr<HomeyRealtime> m_realtime;
    SettingsStore m_defaults;
    const Options m_options;
    Favorites m_favorites;
    SearchIndex m_index;
    std::optional<CancelToken> m_eventTask;
    std::shared_ptr<EventChannel<HomeyEvent>> m_stream;
    bool m_stopped = false;
    bool m_started = false;
    // Raised by every stop(): loads and connects of an earlier run find themselves stale.
    quint64 m_run = 0;
    bool m_resyncInFlight = false;
    // What the link itself last showed (live, degraded or idle), under a load's or a failure's state:
    // what a resync that succeeds puts back.
    ConnectionState m_linkState;
    bool m_timelineLoaded = false;
    // The parts with a job of their own; the energy totals and the pager read the devices and the
    // connection above, which outlive them.
    PendingWrites m_pending;
    DimCoalescer m_dim;
    EnergyTotals m_energy;
    P2000Tracker m_p2000;
    bool m_panelVisible = false;
    bool m_derivedStale = false;
    bool m_expectInitialConnected = false;
    QSet<QString> m_sceneTwins;
    std::optional<SearchVerb> m_verb;
    int m_derivedBatch = 0;
    bool m_applyingRealtime = false;
    // How often the devices changed, and how often they had when the hits were last searched and the
    // power last summed.
    quint64 m_deviceChanges = 0;
    quint64 m_deviceChangesSearched = 0;
    quint64 m_deviceChangesSummed = 0;
    // Ends every task of this store when it goes.
    CancelToken m_lifetime;
};
