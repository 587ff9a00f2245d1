#pragma once

#include <optional>
#include <QString>

// A hub found on the local network.
struct DiscoveredHomey {
    QString id;   // TXT "id", else the service instance name
    QString name; // TXT "name", else the service instance name
    std::optional<QString> model;
    std::optional<QString> version;
    std::optional<QString> ipv4;

    bool operator==(const DiscoveredHomey &) const = default;
};
