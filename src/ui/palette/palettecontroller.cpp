#include "ui/palette/palettecontroller.h"

#include "store/home/homestore.h"
#include "ui/controls/capabilitywriter.h"
#include "ui/controls/controlplan.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/hovergate.h"
#include "ui/keytext.h"
#include "ui/palette/paletteproblem.h"
#include "ui/screens/restscreen.h"
#include "ui/screens/resultsscreen.h"
#include "ui/screens/roomscreen.h"
#include "ui/screens/rowactions.h"
#include "ui/whileshown.h"

using namespace Qt::StringLiterals;

namespace {

PaletteController::Content contentOf(HomeStore::Mode mode)
{
    switch (mode) {
    case HomeStore::Mode::Rest:
        return PaletteController::Content::Rest;
    case HomeStore::Mode::Results:
        return PaletteController::Content::Results;
    case HomeStore::Mode::Room:
        return PaletteController::Content::Room;
    case HomeStore::Mode::Notifications:
        return PaletteController::Content::Notifications;
    }
    return PaletteController::Content::Rest;
}

} // namespace

PaletteController::PaletteController(HomeStore *store, std::shared_ptr<CapabilityWriter> writer,
                                     const QString &hotKeyLabel, HoverGate *hoverGate, Actions actions,
                                     QObject *parent, std::shared_ptr<Clock> clock)
    : QObject(parent), m_store(store), m_follow(new WhileShown(
                                           store, [this] { refresh(); }, this)),
      m_followStatusBar(new WhileShown(
          store, [this] { refreshStatusBar(); }, this)),
      m_followProblem(new WhileShown(
          store, [this] { refreshProblem(); }, this)),
      m_followUnread(new WhileShown(
          store, [this] { refresh(); }, this)),
      m_writer(writer ? std::move(writer) : CapabilityWriter::storeBacked(store)), m_hoverGate(hoverGate),
      m_actions(std::move(actions)), m_gate(new GuardGate(clock, this)),
      m_coalescer(new LevelCoalescer(m_writer, clock, LevelCoalescer::defaultPeriod, this)),
      m_hotKeyLabel(hotKeyLabel)
{
    m_hints.trailing = KeyText::display(u"\u2318,"_s);
    // Before the screens connect: the strip of a device that opens exists by the time its row asks.
    connect(store, &HomeStore::detailDeviceIDChanged, this, &PaletteController::detailDidChange);
    connect(store, &HomeStore::queryChanged, this, &PaletteController::queryDidChange);
    connect(store, &HomeStore::connectionChanged, this, [this] {
        m_errorDismissed = false;
        m_followProblem->changed();
    });
    connect(store, &HomeStore::lastErrorChanged, m_followProblem, &WhileShown::changed);
    for (const auto signal :
         {&HomeStore::connectionChanged, &HomeStore::restChanged, &HomeStore::energyChanged})
        connect(store, signal, m_followStatusBar, &WhileShown::changed);

    m_rest = std::make_unique<RestScreen>(store);
    m_results = std::make_unique<ResultsScreen>(store, hoverGate, m_coalescer);
    m_room = std::make_unique<RoomScreen>(store, hoverGate, m_coalescer);
    NotificationsScreen::Actions listActions;
    listActions.openSettings = [this] {
        if (m_actions.onOpenSettings)
            m_actions.onOpenSettings();
    };
    listActions.requestPermission = [this] {
        if (m_actions.onRequestPermission)
            m_actions.onRequestPermission();
    };
    m_notifications = std::make_unique<NotificationsScreen>(store, hoverGate, std::move(listActions));
    // A click on a flow or a mood ran it: the panel goes.
    connect(m_results.get(), &ResultsScreen::dismissRequested, this, &PaletteController::dismiss);
    connect(m_room.get(), &RoomScreen::dismissRequested, this, &PaletteController::dismiss);

    for (const auto signal :
         {&HomeStore::queryChanged, &HomeStore::selectionChanged, &HomeStore::scopeZoneIDChanged,
          &HomeStore::roomChanged, &HomeStore::detailDeviceIDChanged, &HomeStore::devicesChanged,
          &HomeStore::restChanged, &HomeStore::showsNotificationsChanged, &HomeStore::hitsChanged,
          &HomeStore::roomHitsChanged, &HomeStore::modeChanged})
        connect(store, signal, m_follow, &WhileShown::changed);
    // In a burst of the hub's notifications the count in the bell and the hints moves a few times a
    // second rather than at each one: every change draws a frame, and nobody reads a count that runs.
    // The first of a burst shows at once, and so does whatever the person does.
    m_followUnread->setPace(unreadPace);
    connect(store->notifications(), &NotificationFeed::unreadChanged, m_followUnread, &WhileShown::changed);
    connect(m_gate, &GuardGate::armedChanged, m_follow, &WhileShown::changed);
    connect(m_rest.get(), &RestScreen::focusChanged, m_follow, &WhileShown::changed);
    connect(m_rest.get(), &RestScreen::changed, m_follow, &WhileShown::changed);

    // As the palette first appears: the open device's strip, the first row of a query that is there.
    detailDidChange();
    if (store->isSearching() && store->selection() != 0)
        store->setSelection(0);
    refreshStatusBar();
    refreshProblem();
    refresh();
}

PaletteController::~PaletteController() = default;

QString PaletteController::query() const
{
    return m_store ? m_store->query() : QString();
}

void PaletteController::setQuery(const QString &query)
{
    if (m_store && m_store->query() != query)
        m_store->setQuery(query);
}

void PaletteController::setHotKeyLabel(const QString &label)
{
    if (label == m_hotKeyLabel)
        return;
    m_hotKeyLabel = label;
    refresh();
}

void PaletteController::followBeat(const Motion *motion)
{
    for (WhileShown *follower : {m_follow, m_followStatusBar, m_followProblem, m_followUnread})
        follower->followBeat(motion);
    m_rest->followBeat(motion);
    m_results->followBeat(motion);
    m_room->followBeat(motion);
    m_notifications->followBeat(motion);
}

void PaletteController::setBannerPermission(NotificationsScreen::Permission permission)
{
    m_notifications->setPermission(permission);
}

void PaletteController::removeChip()
{
    if (!m_store)
        return;
    if (m_store->showsNotifications()) {
        m_store->exitNotifications();
        return;
    }
    if (m_store->isScoped())
        leaveRoom();
}

void PaletteController::clearQuery()
{
    setQuery(QString());
    focusSearch();
}

void PaletteController::openNotifications()
{
    if (m_store)
        m_store->enterNotifications();
}

void PaletteController::dismissProblem()
{
    m_errorDismissed = true;
    refreshProblem();
}

void PaletteController::retry()
{
    if (m_actions.onReconnect)
        m_actions.onReconnect();
}

void PaletteController::queryDidChange()
{
    // Every letter starts the rows from the top. Clearing the query returns to the overview, whose screen
    // puts its focused tile back into the selection once the store has switched modes; in a room the
    // store keeps the selection on the row that was chosen in the filter.
    if (m_store->isSearching() && m_store->selection() != 0)
        m_store->setSelection(0);
    m_store->closeDetail();
    m_errorDismissed = false;
    refreshProblem();
    Q_EMIT queryChanged();
}

void PaletteController::detailDidChange()
{
    const std::optional<QString> id = m_store->detailDeviceID();
    if (!id || !m_strip || m_strip->deviceID() != *id) {
        std::unique_ptr<ControlStripModel> old = std::move(m_strip);
        if (id)
            m_strip = std::make_unique<ControlStripModel>(m_store, *id, m_writer, m_gate, m_coalescer);
        Q_EMIT stripChanged();
        // Views may still hold the old strip until they have been told.
        if (old)
            old.release()->deleteLater();
    }
    m_controlFocus = firstFocusableControl();
    if (m_strip)
        m_strip->setFocusedRow(m_controlFocus);
    m_gate->reset();
}

void PaletteController::setControlFocus(int focus)
{
    if (focus == m_controlFocus)
        return;
    m_controlFocus = focus;
    if (m_strip)
        m_strip->setFocusedRow(focus);
    // An armed write never carries over to another control.
    m_gate->reset();
    refresh();
}

void PaletteController::refresh()
{
    if (!m_store)
        return;
    const Content content = contentOf(m_store->mode());
    if (content != m_content) {
        m_content = content;
        Q_EMIT contentChanged();
    }
    SearchRowLook::State state;
    state.query = m_store->query();
    state.showsNotifications = m_store->showsNotifications();
    state.room = m_store->room();
    state.unread = m_store->notifications()->unread();
    state.hotKeyLabel = m_hotKeyLabel;
    // The look follows the state alone; most refreshes (a device changed) leave the state as it was.
    if (state != m_searchState) {
        SearchRowLook search = SearchRowLook::make(state);
        m_searchState = std::move(state);
        const bool bellMoved = !(search.bell == m_search.bell);
        // The rest of the row compared on its own.
        NotificationBellLook bell = std::move(search.bell);
        search.bell = m_search.bell;
        const bool rowMoved = !(search == m_search);
        search.bell = std::move(bell);
        if (bellMoved || rowMoved)
            m_search = std::move(search);
        if (rowMoved)
            Q_EMIT searchChanged();
        if (bellMoved)
            Q_EMIT bellChanged();
    }
    QList<KeyHint> hints = currentHints();
    if (hints != m_hints.hints) {
        m_hints.hints = std::move(hints);
        m_hintModel.setHints(m_hints.hints);
    }
}

void PaletteController::refreshStatusBar()
{
    if (!m_store)
        return;
    StatusBarLook look =
        StatusBarLook::make(m_store->connection(), m_store->rest().headline, m_store->energy());
    if (look == m_statusBar)
        return;
    m_statusBar = std::move(look);
    Q_EMIT statusBarChanged();
}

void PaletteController::refreshProblem()
{
    if (!m_store)
        return;
    const std::optional<PaletteProblem> problem =
        m_errorDismissed ? std::nullopt : PaletteProblem::of(m_store->connection(), m_store->lastError());
    const bool changed =
        problem.has_value() != m_hasProblem ||
        (problem && (problem->title != m_problem.title || problem->detail != m_problem.recovery));
    if (!changed)
        return;
    m_hasProblem = problem.has_value();
    m_problem = problem
                    ? ErrorBarLook::make(problem->title, problem->detail, bool(m_actions.onReconnect), true)
                    : ErrorBarLook();
    Q_EMIT problemChanged();
}

void PaletteController::dismiss()
{
    if (m_actions.onDismiss)
        m_actions.onDismiss();
}

void PaletteController::focusSearch()
{
    Q_EMIT searchFocusRequested();
}

bool PaletteController::showsRows() const
{
    const HomeStore::Mode mode = m_store->mode();
    return mode == HomeStore::Mode::Results || mode == HomeStore::Mode::Room;
}

const Device *PaletteController::selectedDevice() const
{
    if (!m_store || !showsRows())
        return nullptr;
    const std::optional<Hit> hit = m_store->selectedHit();
    const std::optional<QString> id = hit ? hit->deviceID() : std::nullopt;
    if (!id)
        return nullptr;
    const auto found = m_store->devices().constFind(*id);
    return found != m_store->devices().constEnd() ? &*found : nullptr;
}

std::optional<Device> PaletteController::detailDevice() const
{
    const std::optional<QString> id = m_store ? m_store->detailDeviceID() : std::nullopt;
    return id ? m_store->device(*id) : std::nullopt;
}

bool PaletteController::detailOpen() const
{
    return m_store && showsRows() && detailDevice().has_value();
}

bool PaletteController::onRoomRow() const
{
    const std::optional<RoomScope> &room = m_store->room();
    return m_store->isScoped() && room && room->lightsTotal >= 1 && m_store->selection() == 0;
}

QList<ControlRow> PaletteController::detailRows() const
{
    const std::optional<Device> device = detailDevice();
    return device ? ControlPlan::rows(*device, *m_writer) : QList<ControlRow>();
}

bool PaletteController::opensControls(const Device *device) const
{
    return device && !ControlPlan::rows(*device, *m_writer).isEmpty();
}

bool PaletteController::returnRunsSelectedRow() const
{
    const std::optional<Hit> hit = showsRows() ? m_store->selectedHit() : std::nullopt;
    return hit && RowActions::onReturn(*m_store, *hit).kind != RunAction::Kind::Nothing;
}

int PaletteController::firstFocusableControl() const
{
    const QList<int> focusable = ControlPlan::focusable(detailRows());
    return focusable.isEmpty() ? 0 : focusable.first();
}
