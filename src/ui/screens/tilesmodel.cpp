#include "ui/screens/tilesmodel.h"

#include <algorithm>

namespace {

const QMetaObject &lookType()
{
    return RoomTileLook::staticMetaObject;
}

// The roles of the look's properties that differ between the two looks.
QList<int> changedRoles(const RoomTileLook &before, const RoomTileLook &after)
{
    QList<int> roles;
    for (int i = 0; i < lookType().propertyCount(); ++i) {
        const QMetaProperty property = lookType().property(i);
        if (property.readOnGadget(&before) != property.readOnGadget(&after))
            roles.append(TilesModel::FirstLookPropertyRole + i);
    }
    return roles;
}

} // namespace

void TilesModel::setRooms(const QList<Room> &rooms, int selected)
{
    // A live change of a room: the same rooms in the same order, and only the changed rows are remade.
    const auto sameID = [](const Room &room, const Tile &tile) { return room.id == tile.room.id; };
    if (rooms.size() == m_tiles.size() && std::equal(rooms.begin(), rooms.end(), m_tiles.begin(), sameID)) {
        for (qsizetype i = 0; i < rooms.size(); ++i) {
            const bool focused = i == selected;
            Tile &tile = m_tiles[i];
            if (tile.selected == focused && tile.room == rooms.at(i))
                continue;
            Tile next{rooms.at(i), focused, RoomTileLook::make(rooms.at(i), focused)};
            QList<int> roles = changedRoles(tile.look, next.look);
            tile = std::move(next);
            if (roles.isEmpty())
                continue;
            roles.append(LookRole);
            Q_EMIT dataChanged(index(int(i)), index(int(i)), roles);
        }
        return;
    }
    QList<Tile> next;
    next.reserve(rooms.size());
    for (qsizetype i = 0; i < rooms.size(); ++i) {
        const bool focused = i == selected;
        next.append({rooms.at(i), focused, RoomTileLook::make(rooms.at(i), focused)});
    }
    sync(m_tiles, std::move(next), [](const Tile &tile) { return tile.room.id; });
}

int TilesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_tiles.size());
}

QVariant TilesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Tile &tile = m_tiles.at(index.row());
    if (role == KeyRole)
        return tile.room.id;
    if (role == LookRole)
        return QVariant::fromValue(tile.look);
    const int property = role - FirstLookPropertyRole;
    if (property >= 0 && property < lookType().propertyCount())
        return lookType().property(property).readOnGadget(&tile.look);
    return {};
}

QHash<int, QByteArray> TilesModel::roleNames() const
{
    QHash<int, QByteArray> names{{KeyRole, "key"}, {LookRole, "look"}};
    for (int i = 0; i < lookType().propertyCount(); ++i)
        names.insert(FirstLookPropertyRole + i, lookType().property(i).name());
    return names;
}
