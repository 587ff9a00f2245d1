#include "homey/wire/rawenergyobj.h"

using namespace Qt::StringLiterals;

RawEnergyObj RawEnergyObj::decode(const JsonReader &reader)
{
    return {reader.optional<double>("W"_L1), reader.optional<bool>("cumulative"_L1),
            reader.optional<bool>("generator"_L1)};
}
