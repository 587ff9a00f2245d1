#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QString>

// One member of a hub collection: either the decoded record or the reason it did not decode, so one
// malformed member costs only itself. The reason's path starts inside the member.
template <class T> struct Lenient {
    std::optional<T> value;
    std::optional<QString> failure;

    bool operator==(const Lenient &) const = default;
};

template <class T> struct JsonDecode<Lenient<T>> {
    static Lenient<T> decode(const JsonReader &reader)
    {
        try {
            return {reader.detached().as<T>(), std::nullopt};
        } catch (const JsonDecodeError &error) {
            return {std::nullopt, error.description()};
        }
    }
};
