#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <QByteArray>
#include <QString>
#include <thread>

// The program's one diagnostic log: each line goes to stderr, then is appended to the log file, on a
// worker thread of its own, in call order; once the log is stopped, on the caller's thread. Nothing here
// ever reports an error to the caller.
class Log final {
public:
    // The process-wide log writing to fileURL(); created on first use, never destroyed. Its worker stops
    // with the application object (WorkerThreads).
    static Log &shared();
    // The shared log if something has used it, else null; never creates it.
    static Log *sharedIfStarted();

    // $XDG_STATE_HOME/Quorvane/quorvane.log, or onboarding-<test id>.log for an isolated test run.
    static QString fileURL();

    // A log writing to the given file. Creates its folder and drops an oversized file, as at start-up.
    explicit Log(const QString &filePath);
    // Writes what is queued, then stops the worker.
    ~Log();
    // Writes what is queued and joins the worker. Lines written later go out on the caller's thread, after
    // the queued ones: a thread still formatting while the process takes Qt down crashes it at exit.
    void stop();

    Log(const Log &) = delete;
    Log &operator=(const Log &) = delete;

    QString filePath() const { return m_filePath; }

    // Queues one line and returns at once.
    void write(const QString &message);
    // Returns once every line queued before the call has been written.
    void flush();

    // Also hands every message, unescaped, to sink on the calling thread as it is queued (the sink
    // must not log); an empty sink stops that. Lets tests read what was logged without the file.
    using Sink = std::function<void(const QString &message)>;
    void setSink(Sink sink);

    // The line as written, stamped with the local time of msecsSinceEpoch, control characters in the
    // message escaped so it stays one line.
    static QByteArray formatLine(const QString &message, qint64 msecsSinceEpoch);
    static QString escaped(const QString &message);

    // A file larger than this is deleted when a log starts.
    static constexpr qint64 maximumStartSize = 1'000'000;

private:
    struct Entry {
        QString message;
        qint64 msecsSinceEpoch = 0;
        quint64 ticket = 0;
    };

    void run();
    void writeOut(const Entry &entry) const;
    void append(const QByteArray &line) const;

    const QString m_filePath;
    const QByteArray m_nativePath;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_written;
    std::deque<Entry> m_queue;
    Sink m_sink;
    quint64 m_queuedCount = 0;
    quint64 m_writtenCount = 0;
    bool m_stopping = false;
    std::thread m_worker;
};

// Log::shared().write(message).
void log(const QString &message);
