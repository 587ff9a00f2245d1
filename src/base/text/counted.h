#pragma once

#include <QString>

// A number with its noun in Dutch: "1 melding", "2 meldingen", "0 meldingen".
namespace Counted {

QString text(qint64 count, const QString &one, const QString &many);

} // namespace Counted
