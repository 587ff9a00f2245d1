#include "base/regularfile.h"

#include <cerrno>
#include <fcntl.h>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

std::optional<QByteArray> read(const QString &path, qint64 maxSize)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer. It changes nothing for a
    // regular file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<QByteArray> content;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxSize) {
        QByteArray bytes;
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 || bytes.size() + got > maxSize) {
                bytes.clear();
                break;
            }
            if (got == 0) {
                content = std::move(bytes);
                break;
            }
            bytes.append(buffer, got);
        }
    }
    ::close(fd);
    return content;
}

bool absentOrRegular(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

} // namespace RegularFile
