#pragma once

#include "homey/model/hit.h"

#include <optional>
#include <QList>
#include <QString>

// One group of rows in the room view.
struct RoomSection {
    struct Kind {
        enum Value { light, climate, media, other, sensor };

        constexpr Kind(Value v) : value(v) {}
        constexpr operator Value() const { return value; }

        QString raw() const;
        // Exactly the five raw texts, case-sensitive.
        static std::optional<Kind> fromRaw(const QString &raw);
        static QList<Kind> allCases();
        QString title() const;
        // Rows of a section that is not selectable are shown but skipped by the keyboard selection.
        bool selectable() const { return value != sensor; }

        Value value;
    };

    Kind kind = Kind::other;
    QList<Hit> hits{};

    QString id() const { return kind.raw(); }
    QString title() const { return kind.title(); }
    bool selectable() const { return kind.selectable(); }

    bool operator==(const RoomSection &) const = default;
};

size_t qHash(RoomSection::Kind kind, size_t seed = 0) noexcept;
size_t qHash(const RoomSection &section, size_t seed = 0) noexcept;
