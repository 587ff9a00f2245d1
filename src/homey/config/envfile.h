#pragma once

#include <optional>
#include <QMap>
#include <QString>
#include <QStringView>

// The ".env" format as this program reads it: KEY=value lines, "#" comment lines, one pair of matching
// quotes around a value removed. No export keyword, no inline comments, no expansion, no escapes.
namespace EnvFile {

// The first occurrence of a key wins. CRLF line ends are accepted.
QMap<QString, QString> parse(QStringView text);
// The file's text when it is a regular file that can be read and is valid UTF-8.
std::optional<QString> readText(const QString &path);
// Spaces (every Unicode space separator) and tabs off both ends; line breaks stay.
QString trimSpacesAndTabs(QStringView text);

} // namespace EnvFile
