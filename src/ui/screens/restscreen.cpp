#include "ui/screens/restscreen.h"

#include "store/home/homestore.h"
#include "ui/whileshown.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

int focusedIndex(const std::optional<TileFocus> &focus, TileFocus::Kind kind)
{
    return focus && focus->kind == kind ? focus->index : -1;
}

} // namespace

RestScreen::RestScreen(HomeStore *store, QObject *parent)
    : QObject(parent), m_store(store),
      m_follow(new WhileShown(
          store, [this] { refresh(); }, this,
          // Behind the results, a room or the notifications the overview waits, and catches up on return.
          [this] { return m_store && m_store->mode() == HomeStore::Mode::Rest; }))
{
    connect(store, &HomeStore::restChanged, m_follow, &WhileShown::changed);
    connect(store, &HomeStore::connectionChanged, m_follow, &WhileShown::changed);
    // Back on the overview (the query cleared, the room left): the selection is the focused tile
    // again. Queued, so the store has finished its own reset of the selection first.
    connect(store, &HomeStore::modeChanged, this, &RestScreen::syncSelection, Qt::QueuedConnection);
    refresh();
}

QList<Room> RestScreen::visibleRooms() const
{
    if (!m_store)
        return {};
    const RestState &rest = m_store->rest();
    return m_moreRoomsShown ? rest.rooms + rest.moreRooms : rest.rooms;
}

TileNavigation::Shape RestScreen::shape() const
{
    if (!m_store)
        return {0, 0, 0, m_columns};
    const RestState &rest = m_store->rest();
    const bool more = !rest.moreRooms.isEmpty() && !RestLook::isLoading(rest, m_store->connection());
    return {int(std::min<qsizetype>(rest.scenes.size(), ChipsModel::maxScenes)), int(visibleRooms().size()),
            int(rest.modes.size()), m_columns, more};
}

int RestScreen::selectionIndex(const TileFocus &focus) const
{
    const TileNavigation::Shape s = shape();
    switch (focus.kind) {
    case TileFocus::Kind::Scene:
        return focus.index;
    case TileFocus::Kind::Room:
        return s.scenes + focus.index;
    case TileFocus::Kind::Mode:
        return s.scenes + s.rooms + focus.index;
    case TileFocus::Kind::More:
        return -1;
    }
    return 0;
}

QStringList RestScreen::tileIDs(TileFocus::Kind kind) const
{
    QStringList ids;
    if (!m_store)
        return ids;
    const RestState &rest = m_store->rest();
    switch (kind) {
    case TileFocus::Kind::Scene:
        for (const Hit &scene :
             rest.scenes.first(std::min<qsizetype>(rest.scenes.size(), ChipsModel::maxScenes)))
            ids << scene.id;
        break;
    case TileFocus::Kind::Room:
        for (const Room &room : visibleRooms())
            ids << room.id;
        break;
    case TileFocus::Kind::Mode:
        for (const Hit &mode : rest.modes)
            ids << mode.id;
        break;
    case TileFocus::Kind::More:
        break;
    }
    return ids;
}

std::optional<TileFocus> RestScreen::followedFocus() const
{
    if (!m_focus || m_focus->kind == TileFocus::Kind::More)
        return m_focus;
    const QStringList ids = tileIDs(m_focus->kind);
    if (const qsizetype at = m_focusID ? ids.indexOf(*m_focusID) : -1; at >= 0)
        return TileFocus{m_focus->kind, int(at)};
    if (ids.isEmpty())
        return std::nullopt;
    return TileFocus{m_focus->kind, std::clamp(m_focus->index, 0, int(ids.size()) - 1)};
}

void RestScreen::setFocus(std::optional<TileFocus> focus)
{
    if (focus == m_focus)
        return;
    m_focus = focus;
    const QStringList ids = m_focus ? tileIDs(m_focus->kind) : QStringList();
    m_focusID = m_focus && m_focus->index >= 0 && m_focus->index < ids.size()
                    ? std::optional(ids.at(m_focus->index))
                    : std::nullopt;
    refresh();
    Q_EMIT focusChanged();
    if (m_focus)
        Q_EMIT scrollRequested(m_focus->kind, m_focus->index);
}

void RestScreen::move(int dx, int dy)
{
    setFocus(TileNavigation::move(m_focus, dx, dy, shape()));
}

void RestScreen::setWidth(double width)
{
    const int columns = TileNavigation::columns(width);
    if (columns == m_columns)
        return;
    m_columns = columns;
    Q_EMIT columnsChanged();
    // Another count of columns puts the focused tile on another line of the grid.
    viewResized();
}

void RestScreen::viewResized()
{
    if (m_focus)
        Q_EMIT revealRequested(m_focus->kind, m_focus->index);
}

void RestScreen::clickScene(int index)
{
    setFocus(TileFocus::scene(index));
    if (m_store)
        m_store->runScene(index);
}

void RestScreen::clickRoom(int index)
{
    const QList<Room> rooms = visibleRooms();
    if (!m_store || index < 0 || index >= rooms.size())
        return;
    setFocus(TileFocus::room(index));
    m_store->enterScope(rooms.at(index).id);
}

void RestScreen::clickMode(int index)
{
    setFocus(TileFocus::mode(index));
    if (m_store && index >= 0 && index < m_store->rest().modes.size())
        m_store->run(m_store->rest().modes.at(index));
}

void RestScreen::toggleMoreRooms()
{
    m_moreRoomsShown = !m_moreRoomsShown;
    refresh(); // the modes come after the rooms shown: their index moves with the extra rooms
    // The button keeps the focus, and moved below the extra rooms or back up.
    if (m_focus && m_focus->kind == TileFocus::Kind::More)
        Q_EMIT scrollRequested(m_focus->kind, m_focus->index);
}

void RestScreen::refresh()
{
    if (!m_store)
        return;
    // The button for the extra rooms went with them.
    if (m_focus && m_focus->kind == TileFocus::Kind::More && !shape().more)
        m_focus.reset();
    // A scene, room or mode that came, went or moved leaves the focus on its own tile.
    if (const std::optional<TileFocus> followed = followedFocus(); followed != m_focus) {
        setFocus(followed); // refreshes
        return;
    }
    if (!m_focus) {
        if (const std::optional<TileFocus> first = TileNavigation::first(shape())) {
            setFocus(first); // refreshes
            return;
        }
    }
    const RestState &rest = m_store->rest();
    m_scenes.setHits(rest.scenes, focusedIndex(m_focus, TileFocus::Kind::Scene));
    m_rooms.setRooms(visibleRooms(), focusedIndex(m_focus, TileFocus::Kind::Room));
    m_modes.setHits(rest.modes, focusedIndex(m_focus, TileFocus::Kind::Mode));
    // A scene or room that came or went moves the flat index of the focused tile.
    syncSelection();
    const bool moreFocused = m_focus && m_focus->kind == TileFocus::Kind::More;
    RestLook look = RestLook::make(rest, m_store->connection(), m_moreRoomsShown, moreFocused);
    const SectionHeaderLook header = look.roomsHeader;
    look.roomsHeader = m_look.roomsHeader;
    const bool lookChanged = !(look == m_look);
    const bool headerChanged =
        header.title != m_look.roomsHeader.title || header.trailing != m_look.roomsHeader.trailing;
    look.roomsHeader = header;
    m_look = std::move(look);
    if (lookChanged)
        Q_EMIT changed();
    if (headerChanged)
        Q_EMIT roomsHeaderChanged();
}

void RestScreen::syncSelection()
{
    if (!m_store || !m_focus || m_focus->kind == TileFocus::Kind::More ||
        m_store->mode() != HomeStore::Mode::Rest)
        return;
    const int index = selectionIndex(*m_focus);
    if (m_store->selection() != index)
        m_store->setSelection(index);
}

void RestScreen::followBeat(const Motion *motion)
{
    m_follow->followBeat(motion);
}
