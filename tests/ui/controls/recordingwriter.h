#pragma once

#include "base/async/clock.h"
#include "ui/controls/capabilitywriter.h"

#include <memory>
#include <QList>
#include <QSet>

// A writer that keeps every write it is handed, with the moment it came, and declines the ids it is told.
class RecordingWriter final : public CapabilityWriter {
public:
    struct Write {
        QString deviceID;
        QString capabilityID;
        CapabilityValue value;
        Clock::TimePoint at;
    };

    explicit RecordingWriter(std::shared_ptr<Clock> clock = Clock::system()) : m_clock(std::move(clock)) {}

    QSet<QString> declined;
    QList<Write> writes;

    bool handles(const QString &capabilityID) const override { return !declined.contains(capabilityID); }
    QCoro::Task<> write(QString deviceID, QString capabilityID, CapabilityValue value) override
    {
        writes.append({deviceID, capabilityID, value, m_clock->now()});
        co_return;
    }

private:
    std::shared_ptr<Clock> m_clock;
};
