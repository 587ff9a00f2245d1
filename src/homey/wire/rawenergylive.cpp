#include "homey/wire/rawenergylive.h"

using namespace Qt::StringLiterals;

RawEnergyValue RawEnergyValue::decode(const JsonReader &reader)
{
    return {reader.optional<double>("W"_L1)};
}

RawEnergyItem RawEnergyItem::decode(const JsonReader &reader)
{
    return {reader.optional<QString>("type"_L1)};
}

RawEnergyLive RawEnergyLive::decode(const JsonReader &reader)
{
    return {reader.optional<RawEnergyValue>("totalConsumed"_L1),
            reader.optional<RawEnergyValue>("totalGenerated"_L1),
            reader.optional<RawEnergyValue>("totalCumulative"_L1),
            reader.optional<QList<RawEnergyItem>>("items"_L1)};
}
