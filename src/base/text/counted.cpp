#include "base/text/counted.h"

namespace Counted {

QString text(qint64 count, const QString &one, const QString &many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

} // namespace Counted
