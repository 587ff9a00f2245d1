#pragma once

#include "homey/model/homeyevent.h"

#include <optional>
#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>

// The text frames of the realtime link (Engine.IO 4 carrying Socket.IO packets): writing them, and
// reading what the hub sends. Nothing here throws on bad input except parseHandshake(), whose failures
// are meant for the caller.
namespace RealtimeFrames {

// One Socket.IO message inside an Engine.IO message frame: "4", type, "<namespace>," unless the namespace
// is "/", the ack id, the payload as compact JSON.
QString frame(int type, const QString &nameSpace, std::optional<qint64> ackID, const QJsonArray &payload);

struct SocketIOPacket {
    int type = 0;
    QString nameSpace;
    std::optional<qint64> ackID;
    QByteArray data;

    bool operator==(const SocketIOPacket &) const = default;
};

// A Socket.IO packet (the frame without its Engine.IO type). Absent when empty or the type is no digit.
std::optional<SocketIOPacket> readSocketIO(const QString &packet);

// The answer to a subscription request: refused only when it is an array whose first element is not null.
bool subscriptionAccepted(const QByteArray &payload);

// The namespace the hub names in its answer to "handshakeClient". Throws HomeyError: unauthorized when
// the hub refuses the token, socket otherwise.
QString parseHandshake(const QByteArray &payload);

// A device id given as a text, or as an object with a text member "id".
std::optional<QString> deviceID(const QJsonValue &value);

// The event an EVENT packet's data stands for, if any. A capability event keeps its transaction id:
// dropping our own echoes is the socket's business.
std::optional<HomeyEvent> mapEvent(const QByteArray &data);

// A text frame as the main thread gets it: an EVENT packet already read into its event (none when it
// stands for none), any other frame as its text.
struct InboundFrame {
    QString text;
    bool isEvent = false;
    std::optional<HomeyEvent> event;
};

// Reads a frame as far as InboundFrame goes; safe on any thread.
InboundFrame read(const QString &frame);

} // namespace RealtimeFrames
