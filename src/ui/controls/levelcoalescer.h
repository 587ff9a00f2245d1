#pragma once

#include "base/async/canceltoken.h"
#include "base/async/clock.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class CapabilityWriter;

// Thins out the writes of a dragged level bar: per device and capability the first value goes out at
// once, then at most one write per period carrying the latest value, and the value the drag ended on is
// always sent last. Until then pending() holds the latest value, so the bar can follow the pointer.
class LevelCoalescer final : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultPeriod{120};

    LevelCoalescer(std::shared_ptr<CapabilityWriter> writer, std::shared_ptr<Clock> clock = Clock::system(),
                   std::chrono::milliseconds period = defaultPeriod, QObject *parent = nullptr);
    ~LevelCoalescer() override;

    // A new position of the drag.
    void scrub(const QString &deviceID, const QString &capabilityID, double value);
    // The drag ended here: this value is the last one sent.
    void release(const QString &deviceID, const QString &capabilityID, double value);
    // The latest value that the bar shows while a write of it may still be waiting.
    std::optional<double> pending(const QString &deviceID, const QString &capabilityID) const;
    // Whether any bar has such a value now.
    bool hasPending() const { return !m_entries.isEmpty(); }

Q_SIGNALS:
    void pendingChanged(const QString &deviceID, const QString &capabilityID);

private:
    struct Entry {
        QString deviceID;
        QString capabilityID;
        double latest = 0;
        std::optional<double> sent;
        // The period after a write: no other write goes out before it ends.
        std::optional<CancelToken> quiet;
    };

    void offer(const QString &deviceID, const QString &capabilityID, double value);
    void sendLatest(Entry &entry);
    void periodEnded(const QString &key);
    static QCoro::Task<> wait(QPointer<LevelCoalescer> self, QString key, std::shared_ptr<Clock> clock,
                              std::chrono::milliseconds period, CancelToken token);

    const std::shared_ptr<CapabilityWriter> m_writer;
    const std::shared_ptr<Clock> m_clock;
    const std::chrono::milliseconds m_period;
    QHash<QString, Entry> m_entries;
};
