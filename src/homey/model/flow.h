#pragma once

#include <optional>
#include <QString>

// One flow the user can start; advanced flows are started at a different hub path.
struct Flow {
    QString id{};
    QString name{};
    bool enabled = false;
    bool isAdvanced = false;
    bool triggerable = false;
    std::optional<QString> folderID{};

    bool operator==(const Flow &) const = default;
};
