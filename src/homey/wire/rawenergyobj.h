#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>

// A device's energy settings on the hub.
struct RawEnergyObj {
    std::optional<double> W;
    // The device is the house's grid meter.
    std::optional<bool> cumulative;
    // The device produces power for the house.
    std::optional<bool> generator;

    static RawEnergyObj decode(const JsonReader &reader);
    bool operator==(const RawEnergyObj &) const = default;
};
