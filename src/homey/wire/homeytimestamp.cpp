#include "homey/wire/homeytimestamp.h"

#include "homey/wire/homeydate.h"

#include <array>
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
    case JsonReader::Type::text: {
        // Stamps are short ASCII: widened on the stack, they need no QString.
        const QUtf8StringView bytes = reader.utf8Text();
        std::array<char16_t, 64> wide;
        if (bytes.size() > qsizetype(wide.size()))
            return {HomeyDate::parse(bytes.toString())};
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes.data()[i]);
            if (byte >= 0x80)
                return {HomeyDate::parse(bytes.toString())};
            wide[size_t(i)] = char16_t(byte);
        }
        return {HomeyDate::parse(QStringView(wide.data(), bytes.size()))};
    }
    case JsonReader::Type::number:
        return HomeyTimestamp::fromMilliseconds(reader.number());
    default:
        return {};
    }
}
