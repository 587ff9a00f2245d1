#include "homey/wire/rawzone.h"

#include "homey/wire/homeydate.h"

using namespace Qt::StringLiterals;

RawZone RawZone::decode(const JsonReader &reader)
{
    RawZone zone;
    zone.id = reader.required<QString>("id"_L1);
    zone.name = reader.required<QString>("name"_L1);
    zone.parent = reader.optional<QString>("parent"_L1);
    zone.icon = reader.optional<QString>("icon"_L1);
    zone.active = reader.optional<bool>("active"_L1);
    zone.activeLastUpdated = reader.optional<QString>("activeLastUpdated"_L1);
    return zone;
}

Zone RawZone::toZone() const
{
    Zone zone;
    zone.id = id;
    zone.name = name;
    zone.parentID = parent;
    zone.icon = icon.value_or(u"default"_s);
    zone.active = active.value_or(false);
    if (activeLastUpdated)
        zone.activeLastUpdated = HomeyDate::parse(*activeLastUpdated);
    return zone;
}
