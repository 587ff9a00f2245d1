#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>

// Two things the hub's JavaScript writes that strict JSON readers refuse, while one such value must
// not cost the whole answer: a text with half a surrogate pair ("\ud83d" alone, from a cut emoji) and
// an integer beyond 64 bits (JavaScript writes 1e20 as 100000000000000000000).
namespace JsonRepair {

// The document with each lone surrogate escape replaced by U+FFFD and ".0" after each integer that
// fits no 64-bit type, so it reads as a double; absent when there is nothing to repair.
std::optional<QByteArray> repaired(QByteArrayView json);

} // namespace JsonRepair
