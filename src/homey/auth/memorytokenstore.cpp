#include "homey/auth/memorytokenstore.h"

#include "homey/auth/tokentext.h"

QCoro::Task<std::optional<QString>> MemoryTokenStore::load(QString service)
{
    throwIfFailing();
    const auto found = m_items.constFind(service);
    if (found == m_items.constEnd())
        co_return std::nullopt;
    co_return TokenText::fromStoredBytes(found->data);
}

QCoro::Task<> MemoryTokenStore::save(QString token, QString service)
{
    throwIfFailing();
    auto found = m_items.find(service);
    if (found == m_items.end())
        m_items.insert(service, Item{token.toUtf8(), label});
    else
        found->data = token.toUtf8();
    co_return;
}

QCoro::Task<> MemoryTokenStore::clear(QString service)
{
    throwIfFailing();
    m_items.remove(service);
    co_return;
}

void MemoryTokenStore::setRawData(const QString &service, const QByteArray &data)
{
    auto found = m_items.find(service);
    if (found == m_items.end())
        m_items.insert(service, Item{data, label});
    else
        found->data = data;
}

std::optional<MemoryTokenStore::Item> MemoryTokenStore::item(const QString &service) const
{
    const auto found = m_items.constFind(service);
    if (found == m_items.constEnd())
        return std::nullopt;
    return *found;
}

void MemoryTokenStore::throwIfFailing() const
{
    if (m_failure)
        throw *m_failure;
}
