#pragma once

#include "homey/model/hit.h"
#include "homey/model/room.h"

#include <QList>
#include <QString>

// The idle overview; default-constructed it is the empty overview shown before the first build.
struct RestState {
    QList<Room> rooms{};
    QList<Room> moreRooms{}; // shown only on request
    QList<Hit> scenes{};
    QList<Hit> modes{};
    int lightsOnTotal = 0;
    QString headline{};

    bool operator==(const RestState &) const = default;
};
