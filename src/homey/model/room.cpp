#include "homey/model/room.h"

#include "homey/model/valuehash.h"

size_t qHash(const Room &room, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(room.id));
    seed = ValueHash::combine(seed, qHash(room.name));
    seed = ValueHash::combine(seed, qHash(room.symbol));
    seed = ValueHash::combine(seed, ValueHash::optional(room.floor, 0));
    seed = ValueHash::combine(seed, qHash(room.deviceCount));
    seed = ValueHash::combine(seed, qHash(room.lightsOn));
    seed = ValueHash::combine(seed, qHash(room.lightsTotal));
    seed = ValueHash::combine(seed, ValueHash::number(room.brightness, 0));
    seed = ValueHash::combine(seed, ValueHash::optional(room.temperature, 0));
    seed = ValueHash::combine(seed, qHash(room.active));
    return ValueHash::combine(seed, ValueHash::optional(room.powerW, 0));
}
