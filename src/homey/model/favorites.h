#pragma once

#include <QStringList>

// The user's favourites, each list in the hub's order.
struct Favorites {
    QStringList deviceIDs{};
    QStringList flowIDs{};
    QStringList moodIDs{};

    bool operator==(const Favorites &) const = default;
};
