#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// Files that hold a token or a setting are read only when they are regular files. A FIFO without a writer
// would block the read forever, a device such as /dev/zero would never end; both are skipped, never read.
namespace RegularFile {

inline constexpr qint64 defaultMaximumSize = 4 * 1024 * 1024;

// The whole file, when the path names a regular file (symbolic links followed) of at most maxSize bytes.
std::optional<QByteArray> read(const QString &path, qint64 maxSize = defaultMaximumSize);

// True when nothing is at the path, or a regular file: the places a file may be created or read.
bool absentOrRegular(const QString &path);

} // namespace RegularFile
