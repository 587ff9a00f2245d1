#include "homey/auth/rawsession.h"

using namespace Qt::StringLiterals;

RawSession RawSession::decode(const JsonReader &reader)
{
    return {reader.required<QString>("id"_L1), reader.required<QString>("type"_L1),
            reader.optional<QString>("userName"_L1), reader.optional<QList<QString>>("scopes"_L1),
            reader.optional<QString>("clientName"_L1)};
}

std::variant<RawSession, QString> RawSession::decode(const QByteArray &json)
{
    try {
        return decodeJson<RawSession>(json);
    } catch (const JsonDecodeError &error) {
        return error.description();
    }
}
