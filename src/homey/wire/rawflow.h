#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QString>

// A standard or advanced flow as the hub sends it.
struct RawFlow {
    QString id;
    QString name;
    std::optional<QString> folder;
    std::optional<bool> enabled;
    std::optional<bool> broken;
    std::optional<bool> triggerable;

    static RawFlow decode(const JsonReader &reader);
    bool operator==(const RawFlow &) const = default;
};
