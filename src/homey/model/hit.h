#pragma once

#include <optional>
#include <QString>

// One actionable row: a search result, a room-view row, a scene or mode chip.
struct Hit {
    // What running the row acts on.
    class Target {
    public:
        enum class Kind { device, room, flow, mood };

        static Target device(const QString &deviceID) { return Target(Kind::device, deviceID, false); }
        static Target room(const QString &zoneID) { return Target(Kind::room, zoneID, false); }
        // Advanced flows are started at a different hub path.
        static Target flow(const QString &flowID, bool advanced)
        {
            return Target(Kind::flow, flowID, advanced);
        }
        static Target mood(const QString &moodID) { return Target(Kind::mood, moodID, false); }

        Kind kind() const { return m_kind; }
        const QString &id() const { return m_id; }
        bool isAdvanced() const { return m_advanced; }

        bool operator==(const Target &) const = default;

    private:
        Target(Kind kind, QString id, bool advanced) : m_kind(kind), m_id(std::move(id)), m_advanced(advanced)
        {}

        Kind m_kind;
        QString m_id;
        bool m_advanced;
    };

    // The control at the row's trailing edge.
    class Accessory {
    public:
        enum class Kind { toggle, dimmer, value, run, none };

        Accessory() = default; // none
        static Accessory toggle(bool on)
        {
            Accessory a(Kind::toggle);
            a.m_on = on;
            return a;
        }
        // A level from 0 to 1.
        static Accessory dimmer(double level)
        {
            Accessory a(Kind::dimmer);
            a.m_level = level;
            return a;
        }
        // A read-only value text, such as a sensor reading.
        static Accessory value(const QString &text)
        {
            Accessory a(Kind::value);
            a.m_text = text;
            return a;
        }
        static Accessory run() { return Accessory(Kind::run); }
        static Accessory none() { return Accessory(Kind::none); }

        Kind kind() const { return m_kind; }
        std::optional<bool> toggleState() const;
        std::optional<double> dimmerLevel() const;
        std::optional<QString> valueText() const;

        bool operator==(const Accessory &) const = default;

    private:
        explicit Accessory(Kind kind) : m_kind(kind) {}

        // Fields a case does not use stay at their defaults, so member-wise equality is case equality.
        Kind m_kind = Kind::none;
        bool m_on = false;
        double m_level = 0;
        QString m_text;
    };

    // "device:<id>", "room:<id>", "flow:<id>" or "mood:<id>"; the recent-use memory keys on it.
    QString id{};
    Target target = Target::device({});
    QString title{};
    std::optional<QString> subtitle{};
    QString symbol{};
    Accessory accessory{};
    double score = 0;

    std::optional<QString> deviceID() const;

    bool operator==(const Hit &) const = default;
};

size_t qHash(const Hit::Target &target, size_t seed = 0) noexcept;
size_t qHash(const Hit::Accessory &accessory, size_t seed = 0) noexcept;
size_t qHash(const Hit &hit, size_t seed = 0) noexcept;
