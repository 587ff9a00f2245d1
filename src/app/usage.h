#pragma once

#include <QString>

namespace Usage {

// What "--help" prints (without the final line feed): the version, the switches, and where the pid file
// and the log are.
QString text(const QString &version, const QString &pidFilePath, const QString &logFilePath);

} // namespace Usage
