#include "homey/wire/rawcapability.h"

#include <limits>

using namespace Qt::StringLiterals;

CapabilityValue JsonDecode<CapabilityValue>::decode(const JsonReader &reader)
{
    switch (reader.type()) {
    case JsonReader::Type::boolean:
        return CapabilityValue::fromBool(reader.boolean());
    case JsonReader::Type::number:
        return CapabilityValue::fromNumber(reader.number());
    case JsonReader::Type::text:
        return CapabilityValue::fromString(reader.text());
    default:
        return CapabilityValue::none();
    }
}

RawCapability::RawOption RawCapability::RawOption::decode(const JsonReader &reader)
{
    return {reader.optional<QString>("id"_L1), reader.optional<QString>("title"_L1)};
}

RawCapability RawCapability::decode(const JsonReader &reader)
{
    RawCapability capability;
    capability.id = reader.optional<QString>("id"_L1);
    capability.type = reader.optional<QString>("type"_L1);
    capability.title = reader.optional<QString>("title"_L1);
    capability.getable = reader.optional<bool>("getable"_L1);
    capability.setable = reader.optional<bool>("setable"_L1);
    capability.min = reader.optional<double>("min"_L1);
    capability.max = reader.optional<double>("max"_L1);
    capability.step = reader.optional<double>("step"_L1);
    capability.units = reader.optional<QString>("units"_L1);
    capability.decimals = reader.optional<qint64>("decimals"_L1);
    capability.values = reader.optional<QList<RawOption>>("values"_L1);
    capability.value = reader.optional<CapabilityValue>("value"_L1);
    capability.lastUpdated = reader.optional<HomeyTimestamp>("lastUpdated"_L1);
    return capability;
}

Capability RawCapability::toCapability(const QString &key) const
{
    Capability capability;
    capability.id = key;
    const QString kind = type.value_or(QString());
    if (kind == "boolean"_L1)
        capability.kind = Capability::Kind::boolean;
    else if (kind == "number"_L1)
        capability.kind = Capability::Kind::number;
    else if (kind == "enum"_L1)
        capability.kind = Capability::Kind::enumeration;
    else
        capability.kind = Capability::Kind::string;
    capability.title = title.value_or(key);
    capability.getable = getable.value_or(true);
    capability.setable = setable.value_or(false);
    capability.min = min;
    capability.max = max;
    capability.step = step;
    capability.units = units;
    // A count of decimals beyond int is no advice anyone can follow.
    if (decimals && *decimals >= std::numeric_limits<int>::min() &&
        *decimals <= std::numeric_limits<int>::max())
        capability.decimals = static_cast<int>(*decimals);
    if (values) {
        capability.options.reserve(values->size());
        for (const RawOption &option : *values) {
            if (option.id)
                capability.options.append({*option.id, option.title.value_or(*option.id)});
        }
    }
    capability.value = value;
    if (lastUpdated)
        capability.lastUpdated = lastUpdated->date;
    return capability;
}
