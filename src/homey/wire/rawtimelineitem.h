#pragma once

#include "homey/model/rawnotification.h"
#include "homey/wire/jsonreader.h"

#include <optional>
#include <QString>

// An entry of the hub's notification timeline.
struct RawTimelineItem {
    QString id;
    std::optional<QString> ownerUri;
    std::optional<QString> ownerName;
    std::optional<QString> dateCreated;
    std::optional<QString> excerpt;

    static RawTimelineItem decode(const JsonReader &reader);
    RawNotification toNotification() const;

    bool operator==(const RawTimelineItem &) const = default;
};
