#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QDateTime>

// One time stamp as the hub sends it: milliseconds since 1970 as a number, or a text stamp. Reading it
// never fails; what cannot be read leaves the date absent.
struct HomeyTimestamp {
    std::optional<QDateTime> date;

    static HomeyTimestamp fromMilliseconds(double millis);

    bool operator==(const HomeyTimestamp &) const = default;
};

template <> struct JsonDecode<HomeyTimestamp> {
    static HomeyTimestamp decode(const JsonReader &reader);
};
