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

// The elements of an event's array, up to the third: the URI, the event's name and its data.
struct EventParts {
    std::optional<JsonReader> uri;
    std::optional<JsonReader> name;
    std::optional<JsonReader> data;
    qsizetype count = 0;
};

EventParts partsOf(const JsonReader &array)
{
    EventParts parts;
    array.forEachElement([&parts](const JsonReader &element) {
        if (parts.count == 0)
            parts.uri = element;
        else if (parts.count == 1)
            parts.name = element;
        else if (parts.count == 2)
            parts.data = element;
        ++parts.count;
    });
    return parts;
}

bool isText(const std::optional<JsonReader> &value, QLatin1StringView text = {})
{
    if (!value || value->type() != JsonReader::Type::text)
        return false;
    return text.isNull() || value->text() == text;
}

bool isObject(const std::optional<JsonReader> &value)
{
    return value && value->type() == JsonReader::Type::object;
}

std::optional<QString> deviceIDOf(const std::optional<JsonReader> &value)
{
    if (isText(value))
        return value->text();
    if (isObject(value)) {
        const std::optional<JsonReader> id = value->member("id"_L1);
        if (isText(id))
            return id->text();
    }
    return std::nullopt;
}

std::optional<HomeyEvent> managerEvent(const QString &uri, const QString &name,
                                       const std::optional<JsonReader> &data)
{
    if (uri == u"homey:manager:devices") {
        if ((name == u"device.create" || name == u"device.update") && isObject(data))
            return HomeyEvent(HomeyEvent::DeviceUpdated{data->as<RawDevice>().toDevice()});
        if (name == u"device.delete") {
            if (auto id = deviceIDOf(data))
                return HomeyEvent(HomeyEvent::DeviceDeleted{*id});
        }
    } else if (uri == u"homey:manager:zones") {
        if ((name == u"zone.create" || name == u"zone.update") && isObject(data))
            return HomeyEvent(HomeyEvent::ZoneUpdated{data->as<RawZone>().toZone()});
    } else if (uri == u"homey:manager:flow") {
        if (name.startsWith(u"flow.") || name.startsWith(u"advancedflow."))
            return HomeyEvent(HomeyEvent::FlowsChanged{});
    } else if (uri == u"homey:manager:notifications") {
        if (name == u"notification.create" && isObject(data))
            return HomeyEvent(HomeyEvent::NotificationCreated{data->as<RawTimelineItem>().toNotification()});
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
    // Parsed once, straight into the records; a payload of the wrong shape is dropped whatever failed.
    try {
        const JsonReader root = JsonReader::parse(data);
        if (root.type() != JsonReader::Type::list)
            return std::nullopt;
        const EventParts parts = partsOf(root);
        if (!isText(parts.uri))
            return std::nullopt;
        const QString uri = parts.uri->text();
        if (uri.startsWith(devicePrefix)) {
            if (parts.count < 3 || !isText(parts.name, "capability"_L1) || !isObject(parts.data))
                return std::nullopt;
            const RawCapabilityEvent event = parts.data->as<RawCapabilityEvent>();
            return HomeyEvent(HomeyEvent::Capability{uri.mid(devicePrefix.size()), event.capabilityId,
                                                     event.value.value_or(CapabilityValue::none()),
                                                     event.transactionId});
        }
        if (!isText(parts.name))
            return std::nullopt;
        return managerEvent(uri, parts.name->text(), parts.data);
    } catch (...) {
        return std::nullopt;
    }
}

InboundFrame read(const QString &frame)
{
    // "4" is an Engine.IO message, "2" a Socket.IO EVENT in it.
    if (frame.startsWith(u"42")) {
        if (std::optional<SocketIOPacket> packet = readSocketIO(frame.mid(1)); packet && packet->type == 2)
            return InboundFrame{{}, true, mapEvent(packet->data)};
    }
    return InboundFrame{frame, false, std::nullopt};
}

} // namespace RealtimeFrames
