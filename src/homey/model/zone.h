#pragma once

#include <optional>
#include <QDateTime>
#include <QString>

// One zone of the home: a room, a floor or an area.
struct Zone {
    QString id{};
    QString name{};
    std::optional<QString> parentID{};
    QString icon{};
    bool active = false;
    std::optional<QDateTime> activeLastUpdated{};

    // Symbol image name for the zone's icon key; matching is exact.
    QString symbol() const;

    bool operator==(const Zone &) const = default;
};
