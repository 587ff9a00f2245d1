#include "homey/realtime/owntransactions.h"

OwnTransactions::OwnTransactions(Clock now, std::chrono::milliseconds window)
    : m_now(now ? std::move(now) : Clock([] { return std::chrono::steady_clock::now(); })), m_window(window)
{}

bool OwnTransactions::isFresh(std::chrono::steady_clock::time_point registered,
                              std::chrono::steady_clock::time_point now) const
{
    // A registration ahead of the clock counts as fresh.
    return now - registered < m_window;
}

void OwnTransactions::registerOwn(const QString &transactionID)
{
    const auto now = m_now();
    m_registered.removeIf([&](const auto &entry) { return !isFresh(entry.value(), now); });
    m_registered.insert(transactionID, now);
}

bool OwnTransactions::isOwn(const QString &transactionID) const
{
    const auto found = m_registered.constFind(transactionID);
    return found != m_registered.cend() && isFresh(found.value(), m_now());
}
