#include "ui/screens/roomscreen.h"

#include "store/home/homestore.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/hovergate.h"
#include "ui/screens/rowactions.h"
#include "ui/whileshown.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

double rowFill(const Hit::Accessory &accessory)
{
    if (const std::optional<bool> on = accessory.toggleState())
        return *on ? 1 : 0;
    return accessory.dimmerLevel().value_or(0); // the row clamps it
}

// Walks the selectable hits in selection order: visit(index, hit) until it returns true.
template <typename Visit> void walk(const RoomScope &room, Visit visit)
{
    int index = room.hasLights() ? 1 : 0;
    for (const RoomSection &section : room.sections) {
        if (!section.selectable())
            continue;
        for (const Hit &hit : section.hits) {
            if (visit(index, hit))
                return;
            ++index;
        }
    }
}

} // namespace

RoomScreen::RoomScreen(HomeStore *store, HoverGate *gate, LevelCoalescer *coalescer, QObject *parent)
    : RowScreen(store, gate, coalescer, parent), m_follow(new WhileShown(
                                                     store, [this] { refresh(); }, this))
{
    if (coalescer)
        connect(coalescer, &LevelCoalescer::pendingChanged, this, &RoomScreen::refresh);
    for (const auto signal : {&HomeStore::roomChanged, &HomeStore::queryChanged,
                              &HomeStore::detailDeviceIDChanged, &HomeStore::devicesChanged})
        connect(store, signal, m_follow, &WhileShown::changed);
    connect(store, &HomeStore::selectionChanged, this, &RoomScreen::selectionMoved);
    refresh();
}

std::optional<int> RoomScreen::selectionIndex(const RoomScope &room, const QString &hitID)
{
    std::optional<int> found;
    walk(room, [&](int index, const Hit &hit) {
        if (hit.id == hitID)
            found = index;
        return found.has_value();
    });
    return found;
}

std::optional<QString> RoomScreen::scrollTarget(const RoomScope &room, int index)
{
    std::optional<QString> found;
    walk(room, [&](int at, const Hit &hit) {
        if (at == index)
            found = hit.id;
        return found.has_value();
    });
    return found;
}

QList<ListRow> RoomScreen::lines(const RoomScope &room, int selection,
                                 const std::optional<QString> &expandedDeviceID,
                                 const std::optional<RunAction> &selectedAction)
{
    // The selection index of each selectable hit; a repeated id keeps its first index, as lookups do.
    QHash<QString, int> indices;
    walk(room, [&](int index, const Hit &hit) {
        if (!indices.contains(hit.id))
            indices.insert(hit.id, index);
        return false;
    });
    QList<ListRow> lines;
    for (const RoomSection &section : room.sections) {
        if (section.hits.isEmpty())
            continue;
        lines.append(
            ListRow::heading(u"section:"_s + section.id(), section.title(),
                             section.hits.size() >= 2 ? QString::number(section.hits.size()) : QString()));
        for (const Hit &hit : section.hits) {
            if (!section.selectable()) {
                lines.append(ListRow::sensorRow(hit));
                continue;
            }
            const int index = indices.value(hit.id);
            const std::optional<QString> deviceID = hit.deviceID();
            const bool expanded = deviceID && deviceID == expandedDeviceID;
            const bool selected = index == selection;
            lines.append(ListRow::hitRow(ResultRowLook::make(index, hit, selected, expanded,
                                                             rowFill(hit.accessory), deviceID.has_value(),
                                                             selected ? selectedAction : std::nullopt)));
        }
    }
    return lines;
}

void RoomScreen::refresh()
{
    if (!m_store)
        return;
    std::optional<QString> expanded = m_store->detailDeviceID();
    if (expanded && !m_store->device(*expanded))
        expanded.reset();
    const std::optional<RoomScope> &room = m_store->room();
    const int selection = m_store->selection();
    if (room) {
        RoomScope shown = *room;
        for (RoomSection &section : shown.sections)
            section.hits = RowActions::withDraggedLevels(section.hits, *m_store, m_coalescer);
        const std::optional<Hit> selected = m_store->selectedHit();
        const std::optional<RunAction> action =
            selected ? std::optional(RowActions::onReturn(*m_store, *selected)) : std::nullopt;
        m_rows.setRows(lines(shown, selection, expanded, action));
        const std::optional<QString> selectedID = selectedRowID();
        rowsRefreshed(selectedID, selectedID ? m_rows.rowOf(*selectedID) : -1);
    } else {
        m_rows.setRows({});
        rowsRefreshed(std::nullopt, -1);
    }

    const double dimLevel = m_store->roomDimLevel();
    if (room == m_room && dimLevel == m_dimLevel && selection == m_selection && m_store->query() == m_query)
        return;
    m_room = room;
    m_dimLevel = dimLevel;
    m_selection = selection;
    m_query = m_store->query();
    const RoomScope shown = room.value_or(RoomScope());
    m_header = RoomHeaderLook::make(shown);
    m_dimmer = RoomDimmerLook::make(shown, dimLevel, shown.hasLights() && selection == 0);
    m_empty = EmptyStateLook::forRoom(shown.name, m_query);
    Q_EMIT changed();
}

std::optional<QString> RoomScreen::selectedRowID() const
{
    const std::optional<Hit> hit =
        m_store && m_store->mode() == HomeStore::Mode::Room ? m_store->selectedHit() : std::nullopt;
    return hit ? std::optional(hit->id) : std::nullopt;
}

void RoomScreen::selectionMoved()
{
    // Noted before the refresh, which may come at once and then reveals the row.
    const bool stayed = stayedOnRow(selectedRowID());
    m_follow->changed();
    if (stayed || !m_follow->isShown() || m_store->mode() != HomeStore::Mode::Room || !m_room)
        return;
    if (!keyboardMoved())
        return;
    const std::optional<QString> target = scrollTarget(*m_room, m_store->selection());
    if (!target)
        return;
    const int row = m_rows.rowOf(*target);
    if (row >= 0)
        Q_EMIT scrollRequested(row);
}

void RoomScreen::scrubRoom(double level)
{
    if (m_store)
        m_store->scrubRoomDim(level);
}

void RoomScreen::stepRoom(int dir)
{
    if (m_store)
        m_store->scrubRoomDim(RoomDimmerLook::stepped(m_store->roomDimLevel(), dir));
}

void RoomScreen::toggleAll()
{
    if (!m_store)
        return;
    if (m_store->selection() != 0)
        m_store->setSelection(0);
    m_store->toggleSelection();
}

void RoomScreen::followBeat(const Motion *motion)
{
    m_follow->followBeat(motion);
}
