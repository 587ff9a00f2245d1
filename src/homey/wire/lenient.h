#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QString>

// One member of a hub collection: either the decoded record or the reason it did not decode, so one
// malformed member costs only itself.
template <class T> struct Lenient {
    std::optional<T> value;
    std::optional<QString> failure;

    static Lenient fromJson(const QJsonValue &json)
    {
        try {
            return {JsonReader(json).as<T>(), std::nullopt};
        } catch (const JsonDecodeError &error) {
            return {std::nullopt, error.description()};
        }
    }

    bool operator==(const Lenient &) const = default;
};

template <class T> struct JsonDecode<Lenient<T>> {
    static Lenient<T> decode(const JsonReader &reader) { return Lenient<T>::fromJson(reader.value()); }
};
