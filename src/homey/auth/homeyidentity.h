#pragma once

#include <optional>
#include <QString>
#include <QStringList>

// The hub's session that an access token belongs to.
struct HomeyIdentity {
    QString sessionID;
    QString type;
    QString userName; // "onbekend" when the hub gives none
    QStringList scopes;
    std::optional<QString> clientName;

    bool operator==(const HomeyIdentity &) const = default;
};
