#include "homey/wire/homeytimestamp.h"

#include "homey/wire/homeydate.h"

#include <cmath>

HomeyTimestamp HomeyTimestamp::fromMilliseconds(double millis)
{
    // Outside about ±292 million years the milliseconds no longer fit QDateTime; such a number is no
    // time stamp of the hub.
    constexpr double limit = 9.0e15;
    if (!std::isfinite(millis) || std::fabs(millis) > limit)
        return {};
    return {QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(millis)), Qt::UTC)};
}

HomeyTimestamp JsonDecode<HomeyTimestamp>::decode(const JsonReader &reader)
{
    switch (reader.type()) {
    case JsonReader::Type::text:
        return {HomeyDate::parse(reader.text())};
    case JsonReader::Type::number:
        return HomeyTimestamp::fromMilliseconds(reader.number());
    default:
        return {};
    }
}
