#include "homey/wire/homeytimestamp.h"

#include "homey/wire/homeydate.h"

#include <cmath>

HomeyTimestamp HomeyTimestamp::fromJson(const QJsonValue &value)
{
    if (value.isString())
        return {HomeyDate::parse(value.toString())};
    if (!value.isDouble())
        return {};
    const double millis = value.toDouble();
    // Outside about ±292 million years the milliseconds no longer fit QDateTime; such a number is no
    // time stamp of the hub.
    constexpr double limit = 9.0e15;
    if (!std::isfinite(millis) || std::fabs(millis) > limit)
        return {};
    return {QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(millis)), Qt::UTC)};
}
