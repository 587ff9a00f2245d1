#pragma once

#include <optional>
#include <QDateTime>
#include <QStringView>

// Reader of the hub's text time stamps.
namespace HomeyDate {

// "2024-05-01T10:00:00.123Z" (1 to 9 fraction digits, read in UTC, or with a numeric offset such as
// "+02:00" or "+0200" when one follows), else "2024-05-01T10:00:00Z" or "2024-05-01T12:00:00+02:00".
// Absent for anything else. The result is in UTC.
std::optional<QDateTime> parse(QStringView text);

} // namespace HomeyDate
