#include "ui/screens/tilesmodel.h"

void TilesModel::setRooms(const QList<Room> &rooms, int selected)
{
    QList<Tile> next;
    next.reserve(rooms.size());
    for (qsizetype i = 0; i < rooms.size(); ++i) {
        const Tile tile{rooms.at(i), i == selected, {}};
        // A live change touches one room: the others keep the look they have.
        if (i < m_tiles.size() && m_tiles.at(i) == tile)
            next.append(m_tiles.at(i));
        else
            next.append({tile.room, tile.selected, RoomTileLook::make(tile.room, tile.selected)});
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
