#pragma once

#include "ports/keychainerror.h"

#include <optional>
#include <QCoroTask>
#include <QString>

// The secret store that keeps the access token, one item per service under one account. Asynchronous
// because the desktop's secret service is; every implementation bounds each call with a time-out, since
// a locked keyring can otherwise wait for a prompt forever.
class TokenStore {
public:
    static inline const QString defaultService = QStringLiteral("ai.velkor.quorvane");
    static inline const QString account = QStringLiteral("homey-token");
    // Given to an item when it is created; a later save keeps it.
    static inline const QString label = QStringLiteral("Quorvane");

    virtual ~TokenStore() = default;

    // The stored token; nullopt when there is no item or its data is empty or not UTF-8.
    // Throws KeychainError.
    virtual QCoro::Task<std::optional<QString>> load(QString service) = 0;
    // Replaces the item's data, or creates the item. The token is stored as given. Throws KeychainError.
    virtual QCoro::Task<> save(QString token, QString service) = 0;
    // Removes the item; a missing item is success. Throws KeychainError.
    virtual QCoro::Task<> clear(QString service) = 0;
};
