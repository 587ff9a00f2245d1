#pragma once

#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>

// One entry of the notification feed: a titled timeline entry or a P2000 incident.
struct HomeyNotification {
    struct Source {
        enum Value { p2000, presence, weather, flow, system };

        constexpr Source(Value v) : value(v) {}
        constexpr operator Value() const { return value; }

        QString raw() const;
        // Exactly the raw texts, case-sensitive; this is also how a source is decoded from JSON.
        static std::optional<Source> fromRaw(const QString &raw);
        static QList<Source> allCases();
        QString title() const;
        QString symbol() const;

        Value value;
    };

    enum class Urgency { urgent, normal, quiet };

    QString id{};
    Source source = Source::system;
    QDateTime date{};
    QString title{};
    std::optional<QString> subtitle{};
    QString body{};
    std::optional<QString> detail{};
    QString symbol{};
    std::optional<int> priority{};
    std::optional<QString> region{};
    std::optional<QString> city{};
    bool isRead = false;

    Urgency urgency() const;

    bool operator==(const HomeyNotification &) const = default;
};

size_t qHash(HomeyNotification::Source source, size_t seed = 0) noexcept;
size_t qHash(const HomeyNotification &notification, size_t seed = 0) noexcept;
