#pragma once

#include "base/log.h"

#include <mutex>
#include <QStringList>

// Collects what the program logs while it lives. One at a time.
class LogCapture {
public:
    LogCapture()
    {
        Log::shared().setSink([this](const QString &message) {
            std::lock_guard lock(m_mutex);
            m_lines.append(message);
        });
    }
    ~LogCapture() { Log::shared().setSink({}); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    // Lines that contain text.
    QStringList matching(const QString &text) const { return lines().filter(text); }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
};
