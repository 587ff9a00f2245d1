#include "platform/x11windowframe.h"

#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace X11WindowFrame {

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *connection()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Left, right, top and bottom border the window manager put around the window; none when it says
// nothing sensible.
QMargins extents(xcb_connection_t *c, xcb_window_t window)
{
    static constexpr char name[] = "_NET_FRAME_EXTENTS";
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof(name) - 1, name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return {};
    const auto *value = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    // A border wider than any screen is nonsense, not a frame.
    for (int i = 0; i < 4; ++i) {
        if (value[i] > 4096)
            return {};
    }
    return QMargins(int(value[0]), int(value[2]), int(value[1]), int(value[3]));
}

// From the server's pixels to Qt's coordinates: Qt keeps each screen's top-left corner and scales
// what lies inside it.
QRect fromNative(const QRect &native)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const qreal ratio = screen->devicePixelRatio();
        const QPoint origin = screen->geometry().topLeft();
        if (!QRect(origin, screen->geometry().size() * ratio).contains(native.topLeft()))
            continue;
        if (ratio == 1.0)
            return native;
        const QPointF inside = QPointF(native.topLeft() - origin) / ratio;
        return QRect(origin + inside.toPoint(), (QSizeF(native.size()) / ratio).toSize());
    }
    return native;
}

} // namespace

bool available()
{
    return connection() != nullptr;
}

std::optional<QRect> frame(QWindow *window)
{
    xcb_connection_t *c = connection();
    if (!c || !window || !window->handle())
        return std::nullopt;
    const auto id = xcb_window_t(window->winId());

    // Viewable means the window and every frame around it are mapped: a window manager maps them
    // only once it has put them in place.
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return std::nullopt;
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!geometry)
        return std::nullopt;
    const Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr));
    if (!origin)
        return std::nullopt;

    const QRect client(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    return fromNative(client.marginsAdded(extents(c, id)));
}

} // namespace X11WindowFrame
