#include "homey/model/rawnotification.h"

#include "homey/model/valuehash.h"

size_t qHash(const RawNotification &n, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(n.id));
    seed = ValueHash::combine(seed, qHash(n.ownerUri));
    seed = ValueHash::combine(seed, ValueHash::optional(n.ownerName, 0));
    seed = ValueHash::combine(seed, qHash(n.excerpt));
    return ValueHash::combine(seed, ValueHash::optional(n.date, 0));
}
