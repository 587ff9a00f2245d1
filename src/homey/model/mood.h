#pragma once

#include <optional>
#include <QString>

// One mood (scene) of the hub.
struct Mood {
    QString id{};
    QString name{};
    std::optional<QString> zoneID{};

    bool operator==(const Mood &) const = default;
};
