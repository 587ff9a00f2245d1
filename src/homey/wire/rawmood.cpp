#include "homey/wire/rawmood.h"

using namespace Qt::StringLiterals;

RawMood RawMood::decode(const JsonReader &reader)
{
    return {reader.required<QString>("id"_L1), reader.required<QString>("name"_L1),
            reader.optional<QString>("zone"_L1)};
}
