#pragma once

#include "homey/wire/jsonreader.h"

#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

// The hub's answer to sessions/session/me. Other members are ignored.
struct RawSession {
    QString id;
    QString type;
    std::optional<QString> userName;
    std::optional<QStringList> scopes;
    std::optional<QString> clientName;

    bool operator==(const RawSession &) const = default;

    static RawSession decode(const JsonReader &reader);

    // The whole answer; a failure gives the reader's description instead of throwing.
    static std::variant<RawSession, QString> decode(const QByteArray &json);
};
