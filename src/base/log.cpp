#include "base/log.h"

#include "base/appconfiguration.h"
#include "base/workerthreads.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString stateFolder()
{
    // Relative values are invalid per the XDG base directory rules and are ignored.
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.isEmpty() && QDir::isAbsolutePath(state))
        return state;
    return QDir::homePath() + u"/.local/state"_s;
}

void writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        left -= n;
    }
}

void appendHex(QString &out, char32_t c)
{
    out += u"\\x"_s + QString::number(uint(c), 16).rightJustified(2, u'0');
}

} // namespace

namespace {

std::atomic<Log *> sharedLog{nullptr};

} // namespace

Log &Log::shared()
{
    // Leaked on purpose: lines written by static destructors at exit still have somewhere to go.
    static Log *const instance = [] {
        auto *log = new Log(fileURL());
        sharedLog.store(log);
        // What stamping a line needs (the time zone, the locale) is made before the stop at exit is
        // registered, so that it is torn down after the writer has stopped, in a run without an
        // application object too.
        formatLine(QString(), QDateTime::currentMSecsSinceEpoch());
        WorkerThreads::stopWithApplication();
        return log;
    }();
    return *instance;
}

Log *Log::sharedIfStarted()
{
    return sharedLog.load();
}

QString Log::fileURL()
{
    const QString name = AppConfiguration::isolated()
                             ? u"onboarding-"_s + AppConfiguration::testID() + u".log"_s
                             : u"quorvane.log"_s;
    return stateFolder() + u"/Quorvane/"_s + name;
}

Log::Log(const QString &filePath) : m_filePath(filePath), m_nativePath(QFile::encodeName(filePath))
{
    const QFileInfo info(m_filePath);
    QDir().mkpath(info.absolutePath());
    if (info.isFile() && info.size() > maximumStartSize)
        QFile::remove(m_filePath);
    m_worker = std::thread([this] { run(); });
}

Log::~Log()
{
    stop();
}

void Log::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id())
        m_worker.join();
}

QString Log::escaped(const QString &message)
{
    QString out;
    out.reserve(message.size());
    for (const QChar ch : message) {
        const char16_t c = ch.unicode();
        if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\r')
            out += u"\\r"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c < 0x20 || (c >= 0x7f && c <= 0x9f))
            appendHex(out, c);
        else if (c == 0x2028 || c == 0x2029)
            out += u"\\u"_s + QString::number(uint(c), 16);
        else
            out += ch;
    }
    return out;
}

QByteArray Log::formatLine(const QString &message, qint64 msecsSinceEpoch)
{
    const QString stamp =
        QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::LocalTime).toString(u"yyyy-MM-dd HH:mm:ss.zzz"_s);
    return (stamp + u"  "_s + escaped(message) + u'\n').toUtf8();
}

void Log::write(const QString &message)
{
    // Only the time is taken here: the local stamp and the escaping are made on the worker, off the
    // caller's thread (the realtime store logs from the main thread).
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    std::unique_lock lock(m_mutex);
    if (m_sink)
        m_sink(message);
    if (!m_stopping) {
        m_queue.push_back({message, now, ++m_queuedCount});
        lock.unlock();
        m_queued.notify_one();
        return;
    }
    // Stopped: written here, after whatever the worker still had, and under the lock so that lines from
    // several threads stay whole and in order.
    m_written.wait(lock, [&] { return m_writtenCount >= m_queuedCount; });
    writeOut({message, now, 0});
}

void Log::setSink(Sink sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = std::move(sink);
}

void Log::flush()
{
    // Waiting on the worker from the worker itself would never return.
    if (std::this_thread::get_id() == m_worker.get_id())
        return;
    std::unique_lock lock(m_mutex);
    const quint64 target = m_queuedCount;
    m_written.wait(lock, [&] { return m_writtenCount >= target; });
}

void Log::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping, and everything is written
        Entry entry = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        writeOut(entry);
        lock.lock();
        m_writtenCount = entry.ticket;
        m_written.notify_all();
    }
}

void Log::writeOut(const Entry &entry) const
{
    const QByteArray line = formatLine(entry.message, entry.msecsSinceEpoch);
    writeAll(STDERR_FILENO, line);
    append(line);
}

void Log::append(const QByteArray &line) const
{
    // Opened per line, so a file moved or deleted meanwhile is simply created again. Without O_NONBLOCK a
    // FIFO at the log's place would hold the writer, and every flush, until something reads it.
    const int fd = ::open(m_nativePath.constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        writeAll(fd, line);
    ::close(fd);
}

void log(const QString &message)
{
    Log::shared().write(message);
}
