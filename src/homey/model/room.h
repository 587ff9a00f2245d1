#pragma once

#include <optional>
#include <QString>

// One tile of the idle overview.
struct Room {
    QString id{}; // the zone id
    QString name{};
    QString symbol{};
    // The parent zone's name when that parent lies itself inside another zone (a storey).
    std::optional<QString> floor{};
    int deviceCount = 0;
    int lightsOn = 0;
    int lightsTotal = 0;
    double brightness = 0; // 0...1, mean level of the lights that are on
    qint64 litLevels = 0;  // the levels of the lights that are on, summed in millionths
    std::optional<double> temperature{};
    bool active = false;
    std::optional<double> powerW{}; // absent without a positive reading

    bool isLit() const { return lightsOn > 0; }

    bool operator==(const Room &) const = default;
};

size_t qHash(const Room &room, size_t seed = 0) noexcept;
