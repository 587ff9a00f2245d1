#pragma once

#include <optional>
#include <QDateTime>
#include <QString>

// A timeline entry of the hub as the REST read and the realtime socket hand it in.
struct RawNotification {
    QString id{};
    // "homey:manager:presence", "homey:manager:flow", "homey:app:<app id>" or anything else; may be empty.
    QString ownerUri{};
    std::optional<QString> ownerName{};
    // As the hub wrote it, possibly with simple markdown.
    QString excerpt{};
    std::optional<QDateTime> date{};

    bool operator==(const RawNotification &) const = default;
};

size_t qHash(const RawNotification &notification, size_t seed = 0) noexcept;
