#include "ui/screens/tilesmodel.h"

#include <algorithm>

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
            tile = {rooms.at(i), focused, RoomTileLook::make(rooms.at(i), focused)};
            Q_EMIT dataChanged(index(int(i)), index(int(i)));
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
    switch (role) {
    case KeyRole:
        return tile.room.id;
    case LookRole:
        return QVariant::fromValue(tile.look);
    default:
        return {};
    }
}

QHash<int, QByteArray> TilesModel::roleNames() const
{
    return {{KeyRole, "key"}, {LookRole, "look"}};
}
