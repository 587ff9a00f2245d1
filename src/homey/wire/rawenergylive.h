#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QList>
#include <QString>

struct RawEnergyValue {
    std::optional<double> W;

    static RawEnergyValue decode(const JsonReader &reader);
    bool operator==(const RawEnergyValue &) const = default;
};

struct RawEnergyItem {
    std::optional<QString> type;

    static RawEnergyItem decode(const JsonReader &reader);
    bool operator==(const RawEnergyItem &) const = default;
};

// The hub's live energy totals.
struct RawEnergyLive {
    std::optional<RawEnergyValue> totalConsumed;
    std::optional<RawEnergyValue> totalGenerated;
    std::optional<RawEnergyValue> totalCumulative;
    std::optional<QList<RawEnergyItem>> items;

    static RawEnergyLive decode(const JsonReader &reader);
    bool operator==(const RawEnergyLive &) const = default;
};
