#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QList>
#include <QString>

// The favourites part of the user's properties.
struct RawUserProperties {
    std::optional<QList<QString>> favoriteDevices;
    std::optional<QList<QString>> favoriteFlows;
    std::optional<QList<QString>> favoriteMoods;

    static RawUserProperties decode(const JsonReader &reader);
    bool operator==(const RawUserProperties &) const = default;
};

// The user the token belongs to.
struct RawUser {
    QString id;
    std::optional<QString> name;
    std::optional<RawUserProperties> properties;

    static RawUser decode(const JsonReader &reader);
    bool operator==(const RawUser &) const = default;
};
