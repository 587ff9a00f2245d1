#pragma once

#include <optional>
#include <QJsonValue>
#include <QString>
#include <variant>

// One capability value as the hub reports and accepts it. Every JSON number is a double: the hub
// does not tell 1 from 1.0, and neither does QJsonValue.
class CapabilityValue {
public:
    enum class Kind { boolean, number, string, none };

    CapabilityValue() = default; // none

    static CapabilityValue fromBool(bool value) { return CapabilityValue(Storage(value)); }
    static CapabilityValue fromNumber(double value) { return CapabilityValue(Storage(value)); }
    static CapabilityValue fromString(const QString &value) { return CapabilityValue(Storage(value)); }
    static CapabilityValue none() { return {}; }

    Kind kind() const;

    // Each is present only for its own case; there is no conversion between cases.
    std::optional<bool> boolValue() const;
    std::optional<double> numberValue() const;
    std::optional<QString> stringValue() const;

    // Null for none.
    QJsonValue toJson() const;

    bool operator==(const CapabilityValue &) const = default;

private:
    using Storage = std::variant<std::monostate, bool, double, QString>;
    explicit CapabilityValue(Storage storage) : m_storage(std::move(storage)) {}
    Storage m_storage;
};

size_t qHash(const CapabilityValue &value, size_t seed = 0) noexcept;
