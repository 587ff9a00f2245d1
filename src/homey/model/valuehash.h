#pragma once

#include <optional>
#include <QHashFunctions>

// Hash helpers shared by the value types, so that equal values always hash alike.
namespace ValueHash {

// -0.0 == 0.0, so both must land in the same bucket.
inline size_t number(double value, size_t seed) noexcept
{
    return qHash(value == 0.0 ? 0.0 : value, seed);
}

template <typename T> size_t optional(const std::optional<T> &value, size_t seed) noexcept
{
    if (!value)
        return qHash(0, seed);
    if constexpr (std::is_same_v<T, double>)
        return number(*value, qHash(1, seed));
    else
        return qHash(*value, qHash(1, seed));
}

// Order-dependent combination, like qHashMulti but fed one value at a time.
inline size_t combine(size_t seed, size_t hash) noexcept
{
    return seed ^ (hash + 0x9e3779b9 + (seed << 6) + (seed >> 2));
}

} // namespace ValueHash
