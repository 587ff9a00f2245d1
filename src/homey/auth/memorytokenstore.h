#pragma once

#include "ports/tokenstore.h"

#include <QByteArray>
#include <QHash>

// The secret store held in memory, for tests and for runs that must not touch the user's keyring.
class MemoryTokenStore final : public TokenStore {
public:
    struct Item {
        QByteArray data;
        QString label;
        bool operator==(const Item &) const = default;
    };

    QCoro::Task<std::optional<QString>> load(QString service) override;
    QCoro::Task<> save(QString token, QString service) override;
    QCoro::Task<> clear(QString service) override;

    // Makes every following call throw this error, until called again with nullopt.
    void failWith(std::optional<KeychainError> error) { m_failure = std::move(error); }
    // Puts bytes in place as another program could have left them (empty, not UTF-8).
    void setRawData(const QString &service, const QByteArray &data);
    std::optional<Item> item(const QString &service) const;
    int itemCount() const { return int(m_items.size()); }

private:
    void throwIfFailing() const;

    QHash<QString, Item> m_items;
    std::optional<KeychainError> m_failure;
};
