#pragma once

#include <chrono>
#include <functional>
#include <QHash>
#include <QString>

// The transaction ids of our own capability writes, so the hub's echoes of them can be recognised.
// Ages are measured on a monotonic clock; an entry lives until a later registration finds it expired.
class OwnTransactions {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit OwnTransactions(Clock now = {}, std::chrono::milliseconds window = std::chrono::seconds(60));

    // Forgets expired entries, then records the id as of now (an id registered again gets the new time).
    void registerOwn(const QString &transactionID);
    // True when the id was registered less than the window ago.
    bool isOwn(const QString &transactionID) const;
    qsizetype size() const { return m_registered.size(); }

private:
    bool isFresh(std::chrono::steady_clock::time_point registered,
                 std::chrono::steady_clock::time_point now) const;

    Clock m_now;
    std::chrono::milliseconds m_window;
    QHash<QString, std::chrono::steady_clock::time_point> m_registered;
};
