#pragma once

#include "homey/model/capabilityvalue.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>

// One capability of a device: a switch, a dim level, a measurement, a mode.
// Like every model value, each member has an initializer, so designated initializers may leave any
// member out (g++ 12 warns about omitted members that have none).
struct Capability {
    // The hub's capability type; its raw text is what the hub sends ("enum" for enumeration).
    struct Kind {
        enum Value { boolean, number, string, enumeration };

        constexpr Kind(Value v) : value(v) {}
        constexpr operator Value() const { return value; }

        QString raw() const;
        // Exactly the four raw texts, case-sensitive.
        static std::optional<Kind> fromRaw(const QString &raw);

        Value value;
    };

    struct Option {
        QString id{};
        QString title{};

        bool operator==(const Option &) const = default;
    };

    QString id{};
    Kind kind = Kind::boolean;
    QString title{};
    bool getable = false;
    bool setable = false;
    std::optional<double> min{};
    std::optional<double> max{};
    std::optional<double> step{};
    std::optional<QString> units{};
    std::optional<int> decimals{};
    QList<Option> options{};
    std::optional<CapabilityValue> value{};
    std::optional<QDateTime> lastUpdated{};

    // The title of the chosen option, or the raw text when no option matches.
    std::optional<QString> optionTitle() const;
    // A number as it is written to the hub: on the grid of step (hundredths without one), with the
    // grid's own decimals, so no binary noise (0.30000000000000004) goes out; rounding never takes a
    // value that was within min and max beyond them. Not a finite number: unchanged.
    double writable(double number) const;
    // The grid rounding alone, for a level that belongs to no one capability (a room's).
    static double onGrid(double number, std::optional<double> step = std::nullopt);

    bool operator==(const Capability &) const = default;
};
