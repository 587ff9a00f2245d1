#include "platform/x11windowstate.h"

#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <QList>
#include <QWindow>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace X11WindowState {

namespace {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

struct StateAtoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t wanted[2] = {XCB_ATOM_NONE, XCB_ATOM_NONE};
};

// The names asked for together, so the server answers them in one round trip, not one each; the answers
// hold for the connection's life, so every later show asks for none.
const StateAtoms &stateAtoms(xcb_connection_t *connection)
{
    static xcb_connection_t *askedOn = nullptr;
    static StateAtoms atoms;
    if (askedOn == connection)
        return atoms;
    const char *const names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
    xcb_intern_atom_cookie_t cookies[3];
    for (int i = 0; i < 3; ++i)
        cookies[i] =
            xcb_intern_atom(connection, 0, uint16_t(std::char_traits<char>::length(names[i])), names[i]);
    xcb_atom_t *const slots[] = {&atoms.state, &atoms.wanted[0], &atoms.wanted[1]};
    for (int i = 0; i < 3; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        *slots[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    if (atoms.state != XCB_ATOM_NONE)
        askedOn = connection;
    return atoms;
}

} // namespace

void skipTaskbar(QWindow *window)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const StateAtoms &names = stateAtoms(connection);
    const xcb_atom_t state = names.state;
    if (state == XCB_ATOM_NONE)
        return;
    const auto id = xcb_window_t(window->winId()); // creates the native window when needed

    // Qt merges its own states into what stands there when it maps the window, so ours survive.
    QList<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
        atoms = QList<xcb_atom_t>(data, data + count);
    }
    for (const xcb_atom_t a : names.wanted) {
        if (a != XCB_ATOM_NONE && !atoms.contains(a))
            atoms.append(a);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.constData());
    xcb_flush(connection);
}

} // namespace X11WindowState
