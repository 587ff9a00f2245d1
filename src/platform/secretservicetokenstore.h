#pragma once

#include "ports/tokenstore.h"

#include <chrono>

// The token in the desktop's Secret Service (GNOME Keyring, KWallet's secrets bridge, ...) through
// QtKeychain. Never falls back to a plain-text file: no reachable service is the "no access" error.
class SecretServiceTokenStore final : public TokenStore {
public:
    // A keyring that shows an unlock prompt can wait forever; every call gives up after `timeout`, waiting
    // for an earlier job included, with KeychainError::timedOut.
    explicit SecretServiceTokenStore(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    QCoro::Task<std::optional<QString>> load(QString service) override;
    QCoro::Task<> save(QString token, QString service) override;
    QCoro::Task<> clear(QString service) override;

private:
    std::chrono::milliseconds m_timeout;
};
