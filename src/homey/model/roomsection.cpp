#include "homey/model/roomsection.h"

#include "homey/model/valuehash.h"

using namespace Qt::StringLiterals;

QString RoomSection::Kind::raw() const
{
    switch (value) {
    case light:
        return u"light"_s;
    case climate:
        return u"climate"_s;
    case media:
        return u"media"_s;
    case other:
        return u"other"_s;
    case sensor:
        return u"sensor"_s;
    }
    return {};
}

std::optional<RoomSection::Kind> RoomSection::Kind::fromRaw(const QString &raw)
{
    for (Kind kind : allCases()) {
        if (kind.raw() == raw)
            return kind;
    }
    return std::nullopt;
}

QList<RoomSection::Kind> RoomSection::Kind::allCases()
{
    return {light, climate, media, other, sensor};
}

QString RoomSection::Kind::title() const
{
    switch (value) {
    case light:
        return u"Licht"_s;
    case climate:
        return u"Klimaat"_s;
    case media:
        return u"Media"_s;
    case other:
        return u"Overig"_s;
    case sensor:
        return u"Sensoren"_s;
    }
    return {};
}

size_t qHash(RoomSection::Kind kind, size_t seed) noexcept
{
    return qHash(int(kind.value), seed);
}

size_t qHash(const RoomSection &section, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(section.kind));
    for (const Hit &hit : section.hits)
        seed = ValueHash::combine(seed, qHash(hit));
    return seed;
}
