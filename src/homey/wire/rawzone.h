#pragma once

#include "homey/model/zone.h"
#include "homey/wire/jsonreader.h"

#include <optional>
#include <QString>

// A zone as the hub sends it.
struct RawZone {
    QString id;
    QString name;
    std::optional<QString> parent;
    std::optional<QString> icon;
    std::optional<bool> active;
    std::optional<QString> activeLastUpdated;

    static RawZone decode(const JsonReader &reader);
    Zone toZone() const;

    bool operator==(const RawZone &) const = default;
};
