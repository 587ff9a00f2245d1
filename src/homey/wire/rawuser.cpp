#include "homey/wire/rawuser.h"

using namespace Qt::StringLiterals;

RawUserProperties RawUserProperties::decode(const JsonReader &reader)
{
    return {reader.optional<QList<QString>>("favoriteDevices"_L1),
            reader.optional<QList<QString>>("favoriteFlows"_L1),
            reader.optional<QList<QString>>("favoriteMoods"_L1)};
}

RawUser RawUser::decode(const JsonReader &reader)
{
    return {reader.required<QString>("id"_L1), reader.optional<QString>("name"_L1),
            reader.optional<RawUserProperties>("properties"_L1)};
}
