#include "homey/realtime/realtimeframes.h"

#include "homey/model/homeyerror.h"
#include "homey/wire/jsonreader.h"
#include "homey/wire/rawcapabilityevent.h"
#include "homey/wire/rawdevice.h"
#include "homey/wire/rawtimelineitem.h"
#include "homey/wire/rawzone.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

using namespace Qt::StringLiterals;

namespace RealtimeFrames {

namespace {

const QString devicePrefix = u"homey:device:"_s;
const QString noNamespace = u"de handshake gaf geen namespace terug"_s;

std::optional<QJsonValue> parse(const QByteArray &bytes)
{
    // Wrapped, so a bare scalar parses as well as an array or object.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson("[" + bytes + "\n]", &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1)
        return std::nullopt;
    return document.array().at(0);
}

// The text of a JSON value: a text as it is, anything else as its compact JSON.
QString textOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    const QByteArray json = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// Code point at i, with the index of the next one.
char32_t codePointAt(const QString &text, qsizetype i, qsizetype *next)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        *next = i + 2;
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    }
    *next = i + 1;
    return c.unicode();
}

template <typename Record> std::optional<Record> decode(const QJsonValue &value)
{
    try {
        return JsonReader(value).as<Record>();
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<HomeyEvent> managerEvent(const QString &uri, const QString &name, const QJsonValue &data)
{
    if (uri == u"homey:manager:devices") {
        if (name == u"device.create" || name == u"device.update") {
            if (!data.isObject())
                return std::nullopt;
            if (auto device = decode<RawDevice>(data))
                return HomeyEvent(HomeyEvent::DeviceUpdated{device->toDevice()});
        } else if (name == u"device.delete") {
            if (auto id = deviceID(data))
                return HomeyEvent(HomeyEvent::DeviceDeleted{*id});
        }
    } else if (uri == u"homey:manager:zones") {
        if ((name == u"zone.create" || name == u"zone.update") && data.isObject()) {
            if (auto zone = decode<RawZone>(data))
                return HomeyEvent(HomeyEvent::ZoneUpdated{zone->toZone()});
        }
    } else if (uri == u"homey:manager:flow") {
        if (name.startsWith(u"flow.") || name.startsWith(u"advancedflow."))
            return HomeyEvent(HomeyEvent::FlowsChanged{});
    } else if (uri == u"homey:manager:notifications") {
        if (name == u"notification.create" && data.isObject()) {
            if (auto item = decode<RawTimelineItem>(data))
                return HomeyEvent(HomeyEvent::NotificationCreated{item->toNotification()});
        }
    }
    return std::nullopt;
}

} // namespace

QString frame(int type, const QString &nameSpace, std::optional<qint64> ackID, const QJsonArray &payload)
{
    QString text = u"4"_s + QString::number(type);
    if (nameSpace != u"/")
        text += nameSpace + u',';
    if (ackID)
        text += QString::number(*ackID);
    text += QString::fromUtf8(QJsonDocument(payload).toJson(QJsonDocument::Compact));
    return text;
}

std::optional<SocketIOPacket> readSocketIO(const QString &packet)
{
    if (packet.isEmpty())
        return std::nullopt;
    const QChar typeChar = packet.at(0);
    if (typeChar < u'0' || typeChar > u'9')
        return std::nullopt;
    SocketIOPacket result;
    result.type = typeChar.unicode() - u'0';
    QString rest = packet.mid(1);

    result.nameSpace = u"/"_s;
    if (rest.startsWith(u'/')) {
        const qsizetype comma = rest.indexOf(u',');
        if (comma < 0) {
            result.nameSpace = rest;
            rest.clear();
        } else {
            result.nameSpace = rest.left(comma);
            rest = rest.mid(comma + 1);
        }
    }

    // The run of numerals ends the ack id whatever script it is in; only ASCII digits make an id.
    qsizetype end = 0;
    while (end < rest.size()) {
        qsizetype next = 0;
        if (!QChar::isNumber(codePointAt(rest, end, &next)))
            break;
        end = next;
    }
    if (end > 0) {
        bool ok = false;
        const QString run = rest.left(end);
        bool ascii = true;
        for (QChar c : run)
            ascii = ascii && c >= u'0' && c <= u'9';
        const qint64 id = ascii ? run.toLongLong(&ok, 10) : 0;
        if (ascii && ok)
            result.ackID = id;
        rest = rest.mid(end);
    }
    result.data = rest.toUtf8();
    return result;
}

bool subscriptionAccepted(const QByteArray &payload)
{
    const std::optional<QJsonValue> value = parse(payload);
    if (!value || !value->isArray())
        return true;
    const QJsonArray array = value->toArray();
    return array.isEmpty() || array.at(0).isNull();
}

QString parseHandshake(const QByteArray &payload)
{
    const std::optional<QJsonValue> value = parse(payload);
    if (!value || !value->isArray())
        throw HomeyError::socket(u"onleesbaar antwoord op de handshake"_s);
    const QJsonArray array = value->toArray();
    if (array.isEmpty())
        throw HomeyError::socket(noNamespace);
    if (!array.at(0).isNull()) {
        const QString text = textOf(array.at(0));
        const QString lower = text.toLower();
        if (lower.contains(u"token") || lower.contains(u"auth"))
            throw HomeyError::unauthorized();
        throw HomeyError::socket(text);
    }
    if (array.size() < 2 || !array.at(1).isObject())
        throw HomeyError::socket(noNamespace);
    const QJsonObject answer = array.at(1).toObject();
    const QJsonValue success = answer.value(u"success");
    if (success.isBool() && !success.toBool())
        throw HomeyError::unauthorized();
    const QJsonValue nameSpace = answer.value(u"namespace");
    if (nameSpace.isString() && !nameSpace.toString().isEmpty())
        return nameSpace.toString();
    throw HomeyError::socket(noNamespace);
}

std::optional<QString> deviceID(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isObject()) {
        const QJsonValue id = value.toObject().value(u"id");
        if (id.isString())
            return id.toString();
    }
    return std::nullopt;
}

std::optional<HomeyEvent> mapEvent(const QByteArray &data)
{
    const std::optional<QJsonValue> parsed = parse(data);
    if (!parsed || !parsed->isArray())
        return std::nullopt;
    const QJsonArray array = parsed->toArray();
    if (array.isEmpty() || !array.at(0).isString())
        return std::nullopt;
    const QString uri = array.at(0).toString();
    // Undefined when absent, which no check below accepts.
    const QJsonValue name = array.size() > 1 ? array.at(1) : QJsonValue(QJsonValue::Undefined);
    const QJsonValue payload = array.size() > 2 ? array.at(2) : QJsonValue(QJsonValue::Undefined);

    if (uri.startsWith(devicePrefix)) {
        if (array.size() < 3 || name != QJsonValue(u"capability"_s) || !payload.isObject())
            return std::nullopt;
        const std::optional<RawCapabilityEvent> event = decode<RawCapabilityEvent>(payload);
        if (!event)
            return std::nullopt;
        return HomeyEvent(HomeyEvent::Capability{uri.mid(devicePrefix.size()), event->capabilityId,
                                                 event->value.value_or(CapabilityValue::none()),
                                                 event->transactionId});
    }
    if (!name.isString())
        return std::nullopt;
    return managerEvent(uri, name.toString(), payload);
}

} // namespace RealtimeFrames
