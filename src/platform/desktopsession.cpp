#include "platform/desktopsession.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <QGuiApplication>
#include <QScreen>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace DesktopSession {

namespace {

// XWayland names its outputs XWAYLAND0, XWAYLAND1, ...; from version 23.1 on it also announces an
// extension of that name.
bool xWaylandServer()
{
    if (!qGuiApp || QGuiApplication::platformName() != u"xcb"_s)
        return false;
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->name().startsWith(u"XWAYLAND"_s))
            return true;
    }
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static constexpr char name[] = "XWAYLAND";
    const std::unique_ptr<xcb_query_extension_reply_t, decltype(&std::free)> reply(
        xcb_query_extension_reply(connection, xcb_query_extension(connection, std::strlen(name), name),
                                  nullptr),
        &std::free);
    return reply && reply->present;
}

} // namespace

bool isWayland(const Signs &signs)
{
    return signs.platformName.startsWith(u"wayland"_s) || !signs.waylandDisplay.isEmpty() ||
           signs.sessionType.compare(u"wayland"_s, Qt::CaseInsensitive) == 0 || signs.xWaylandServer;
}

Signs current()
{
    return {QGuiApplication::platformName(), qEnvironmentVariable("WAYLAND_DISPLAY"),
            qEnvironmentVariable("XDG_SESSION_TYPE"), xWaylandServer()};
}

bool isWayland()
{
    static std::optional<bool> known;
    if (known)
        return *known;
    const bool wayland = isWayland(current());
    if (qGuiApp)
        known = wayland;
    return wayland;
}

} // namespace DesktopSession
