#include "app/appinfo.h"

namespace AppInfo {

QString version()
{
    return QStringLiteral(QUORVANE_VERSION);
}

} // namespace AppInfo
