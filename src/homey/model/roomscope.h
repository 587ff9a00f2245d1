#pragma once

#include "homey/model/roomsection.h"

#include <optional>
#include <QList>
#include <QString>

// The opened room: view header, room dimmer and sections.
struct RoomScope {
    QString zoneID{};
    QString name{};
    QString symbol{};
    int deviceCount = 0;
    int sensorCount = 0;
    int lightsOn = 0;
    int lightsTotal = 0;
    int dimmableCount = 0;
    double brightness = 0;    // 0...1
    double dimBrightness = 0; // the room dimmer's level, from the dimmable lights
    std::optional<double> temperature{};
    bool active = false;
    QList<RoomSection> sections{};

    bool hasLights() const { return lightsTotal > 0; }
    bool isLit() const { return lightsOn > 0; }
    // True when no section holds a hit, also when there are no sections.
    bool isEmpty() const;

    bool operator==(const RoomScope &) const = default;
};
