#pragma once

#include <QString>

namespace AppInfo {

// The project's version as the build gives it, e.g. "0.1.0".
QString version();

} // namespace AppInfo
