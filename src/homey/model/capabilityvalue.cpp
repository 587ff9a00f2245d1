#include "homey/model/capabilityvalue.h"

#include "homey/model/valuehash.h"

CapabilityValue::Kind CapabilityValue::kind() const
{
    switch (m_storage.index()) {
    case 1:
        return Kind::boolean;
    case 2:
        return Kind::number;
    case 3:
        return Kind::string;
    default:
        return Kind::none;
    }
}

std::optional<bool> CapabilityValue::boolValue() const
{
    if (const auto *value = std::get_if<bool>(&m_storage))
        return *value;
    return std::nullopt;
}

std::optional<double> CapabilityValue::numberValue() const
{
    if (const auto *value = std::get_if<double>(&m_storage))
        return *value;
    return std::nullopt;
}

std::optional<QString> CapabilityValue::stringValue() const
{
    if (const auto *value = std::get_if<QString>(&m_storage))
        return *value;
    return std::nullopt;
}

QJsonValue CapabilityValue::toJson() const
{
    switch (kind()) {
    case Kind::boolean:
        return QJsonValue(std::get<bool>(m_storage));
    case Kind::number:
        return QJsonValue(std::get<double>(m_storage));
    case Kind::string:
        return QJsonValue(std::get<QString>(m_storage));
    case Kind::none:
        break;
    }
    return QJsonValue(QJsonValue::Null);
}

size_t qHash(const CapabilityValue &value, size_t seed) noexcept
{
    seed = ValueHash::combine(seed, qHash(int(value.kind())));
    if (auto flag = value.boolValue())
        return ValueHash::combine(seed, qHash(*flag));
    if (auto number = value.numberValue())
        return ValueHash::combine(seed, ValueHash::number(*number, 0));
    if (auto text = value.stringValue())
        return ValueHash::combine(seed, qHash(*text));
    return seed;
}
