#pragma once

#include <optional>
#include <QString>

// The hub's health; default-constructed it is the all-absent value.
struct SystemState {
    std::optional<double> cpuPercent{};
    std::optional<double> memoryPercent{};
    std::optional<QString> firmware{};
    std::optional<double> uptime{};

    bool operator==(const SystemState &) const = default;
};
