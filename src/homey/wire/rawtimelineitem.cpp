#include "homey/wire/rawtimelineitem.h"

#include "homey/wire/homeydate.h"

using namespace Qt::StringLiterals;

RawTimelineItem RawTimelineItem::decode(const JsonReader &reader)
{
    RawTimelineItem item;
    item.id = reader.required<QString>("id"_L1);
    item.ownerUri = reader.optional<QString>("ownerUri"_L1);
    item.ownerName = reader.optional<QString>("ownerName"_L1);
    item.dateCreated = reader.optional<QString>("dateCreated"_L1);
    item.excerpt = reader.optional<QString>("excerpt"_L1);
    return item;
}

RawNotification RawTimelineItem::toNotification() const
{
    RawNotification notification;
    notification.id = id;
    notification.ownerUri = ownerUri.value_or(QString());
    notification.ownerName = ownerName;
    notification.excerpt = excerpt.value_or(QString());
    if (dateCreated)
        notification.date = HomeyDate::parse(*dateCreated);
    return notification;
}
