#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QString>

// A mood (scene) as the hub sends it.
struct RawMood {
    QString id;
    QString name;
    std::optional<QString> zone;

    static RawMood decode(const JsonReader &reader);
    bool operator==(const RawMood &) const = default;
};
