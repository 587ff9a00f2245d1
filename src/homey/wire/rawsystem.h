#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QList>
#include <QString>

// The hub's system document: firmware, memory and the per-CPU time counters.
struct RawSystem {
    struct CPU {
        // Cumulative time counters of one processor.
        struct Times {
            qint64 user = 0;
            qint64 nice = 0;
            qint64 sys = 0;
            qint64 idle = 0;
            qint64 irq = 0;

            static Times decode(const JsonReader &reader);
            bool operator==(const Times &) const = default;
        };

        Times times;

        static CPU decode(const JsonReader &reader);
        bool operator==(const CPU &) const = default;
    };

    std::optional<QString> homeyVersion;
    qint64 totalmem = 0;
    qint64 freemem = 0;
    std::optional<double> uptime;
    std::optional<QList<CPU>> cpus;

    static RawSystem decode(const JsonReader &reader);
    bool operator==(const RawSystem &) const = default;
};
