#include "app/singleinstance.h"

#include "base/log.h"

#include <cerrno>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace SingleInstance {

namespace {

// Kept open and locked until the process ends; the kernel releases the lock then, also after a crash.
int lockFD = -1;

// A pid file is a few bytes; anything much longer is not one.
constexpr qsizetype maximumContent = 4096;

QString dataFolder()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.isEmpty() && QDir::isAbsolutePath(data))
        return data;
    return QDir::homePath() + u"/.local/share"_s;
}

// Besides the flock that decides who runs, the holder takes a POSIX record lock on the same file: the
// kernel then tells any other process the holder's pid (F_GETLK), with no chance of reading a stale or
// half-written file. Closing any descriptor of the file in the holder drops this second lock; waiting
// copies then fall back on the file's content.
void nameHolder(int fd)
{
    struct flock record = {};
    record.l_type = F_WRLCK;
    record.l_whence = SEEK_SET;
    ::fcntl(fd, F_SETLK, &record);
}

std::optional<qint32> namedHolder(int fd)
{
    struct flock record = {};
    record.l_type = F_WRLCK;
    record.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &record) != 0 || record.l_type == F_UNLCK || record.l_pid <= 0)
        return std::nullopt;
    return qint32(record.l_pid);
}

QByteArray contentOf(int fd)
{
    QByteArray content(maximumContent + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < content.size()) {
        const ssize_t n = ::pread(fd, content.data() + total, size_t(content.size() - total), total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        total += n;
    }
    content.truncate(total);
    return content;
}

void writeOwnPid(int fd)
{
    const QByteArray text = QByteArray::number(qint64(::getpid())) + '\n';
    // Results ignored: the lock, not the text, decides who runs.
    (void)::ftruncate(fd, 0);
    (void)::pwrite(fd, text.constData(), size_t(text.size()), 0);
}

} // namespace

QString pidFileURL()
{
    const QString folder = dataFolder() + u"/Quorvane"_s;
    QDir().mkpath(folder);
    return folder + u"/quorvane.pid"_s;
}

Outcome acquire()
{
    return acquire(pidFileURL());
}

Outcome acquire(const QString &path, std::chrono::milliseconds patience)
{
    // Close-on-exec: a program we start must never inherit the lock and keep it after we are gone.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        log(u"!! single-instance: kan "_s + path + u" niet openen (errno "_s + QString::number(error) +
            u"). Ga door als primair."_s);
        return {};
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            nameHolder(fd);
            writeOwnPid(fd);
            lockFD = fd;
            return {};
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            // Nobody is known to hold the lock, so the file may be stale: never signal what it says.
            ::close(fd);
            log(u"!! single-instance: kan "_s + path + u" niet vergrendelen (errno "_s +
                QString::number(error) + u"). Ga door als primair."_s);
            return {};
        }
        if (const std::optional<qint32> holder = namedHolder(fd)) {
            ::close(fd);
            return {holder};
        }
        // The holder is between taking the lock and naming itself, or does not name itself at all.
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::optional<qint32> pid = pidFrom(contentOf(fd));
    ::close(fd);
    if (!pid) {
        log(u"!! single-instance: lock bezet maar geen leesbare pid. Ga door als primair."_s);
        return {};
    }
    return {pid};
}

std::optional<qint32> pidFrom(const QByteArray &content)
{
    if (content.size() > maximumContent)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = QString(decoder(content)).trimmed();
    if (decoder.hasError() || text.isEmpty())
        return std::nullopt;
    qsizetype at = (text.at(0) == u'+' || text.at(0) == u'-') ? 1 : 0;
    if (at == text.size())
        return std::nullopt;
    for (qsizetype i = at; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint32 pid = text.toInt(&ok, 10);
    if (!ok || pid <= 0)
        return std::nullopt;
    return pid;
}

} // namespace SingleInstance
