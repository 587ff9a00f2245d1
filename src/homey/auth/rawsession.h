#pragma once

#include <optional>
#include <QByteArray>
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

    // Strict: a missing or mistyped "id" or "type", or a mistyped optional member (null counts as absent),
    // gives a failure description instead.
    static std::variant<RawSession, QString> decode(const QByteArray &json);
};
