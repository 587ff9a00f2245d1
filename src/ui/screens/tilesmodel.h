#pragma once

#include "homey/model/room.h"
#include "ui/roomtilelook.h"
#include "ui/screens/keyedlistmodel.h"

#include <QList>

// The room tiles of the idle overview, keyed by zone id. Besides the whole look, each property of the
// look is a role of its own, so a tile whose lamps changed redoes only what shows them: a change of one
// room touches a few of its delegate's bindings, not all of them.
class TilesModel : public KeyedListModel {
    Q_OBJECT

public:
    enum Role { KeyRole = Qt::UserRole + 1, LookRole, FirstLookPropertyRole };

    struct Tile {
        Room room;
        bool selected = false;
        RoomTileLook look;
        bool operator==(const Tile &other) const { return room == other.room && selected == other.selected; }
    };

    using KeyedListModel::KeyedListModel;

    // selected: index of the focused tile, or -1.
    void setRooms(const QList<Room> &rooms, int selected);
    const QList<Tile> &tiles() const { return m_tiles; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<Tile> m_tiles;
};
