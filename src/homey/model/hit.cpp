#include "homey/model/hit.h"

#include "homey/model/valuehash.h"

std::optional<bool> Hit::Accessory::toggleState() const
{
    return m_kind == Kind::toggle ? std::optional(m_on) : std::nullopt;
}

std::optional<double> Hit::Accessory::dimmerLevel() const
{
    return m_kind == Kind::dimmer ? std::optional(m_level) : std::nullopt;
}

std::optional<QString> Hit::Accessory::valueText() const
{
    return m_kind == Kind::value ? std::optional(m_text) : std::nullopt;
}

std::optional<QString> Hit::deviceID() const
{
    return target.kind() == Target::Kind::device ? std::optional(target.id()) : std::nullopt;
}

size_t qHash(const Hit::Target &target, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(int(target.kind())));
    seed = ValueHash::combine(seed, qHash(target.id()));
    return ValueHash::combine(seed, qHash(target.isAdvanced()));
}

size_t qHash(const Hit::Accessory &accessory, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(int(accessory.kind())));
    seed = ValueHash::combine(seed, ValueHash::optional(accessory.toggleState(), 0));
    seed = ValueHash::combine(seed, ValueHash::optional(accessory.dimmerLevel(), 0));
    return ValueHash::combine(seed, ValueHash::optional(accessory.valueText(), 0));
}

size_t qHash(const Hit &hit, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(hit.id));
    seed = ValueHash::combine(seed, qHash(hit.target));
    seed = ValueHash::combine(seed, qHash(hit.title));
    seed = ValueHash::combine(seed, ValueHash::optional(hit.subtitle, 0));
    seed = ValueHash::combine(seed, qHash(hit.symbol));
    seed = ValueHash::combine(seed, qHash(hit.accessory));
    return ValueHash::combine(seed, ValueHash::number(hit.score, 0));
}
