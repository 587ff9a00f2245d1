#include "platform/x11hotkeygrabber.h"

#include "platform/desktopsession.h"

#include <cstdlib>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

// Caps Lock is the Lock modifier; Num Lock sits on Mod2 on every common keyboard map.
constexpr quint16 lockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr quint16 relevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

} // namespace

X11HotKeyGrabber::X11HotKeyGrabber()
{
    // Under XWayland a grab on the root window would fire only while an X11 window has the keyboard.
    if (DesktopSession::isWayland()) {
        m_availability = Availability::wayland;
        return;
    }
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    m_connection = x11->connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return;
    m_root = screen->root;
    m_availability = Availability::ready;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyGrabber::~X11HotKeyGrabber()
{
    if (m_availability != Availability::ready)
        return;
    release();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

HotKeyGrabber::Availability X11HotKeyGrabber::availability() const
{
    return m_availability;
}

int X11HotKeyGrabber::grab(const HotKeyCombo::X11Grab &key)
{
    release();
    if (m_availability != Availability::ready)
        return -1;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
    xcb_keycode_t *codes = symbols ? xcb_key_symbols_get_keycode(symbols, key.keysym) : nullptr;
    const xcb_keycode_t keycode = codes ? codes[0] : 0;
    std::free(codes);
    if (symbols)
        xcb_key_symbols_free(symbols);
    if (keycode == 0)
        return -1;

    // Send all four, then collect the answers: one round trip each would be slower for nothing.
    xcb_void_cookie_t cookies[std::size(lockVariants)];
    for (size_t i = 0; i < std::size(lockVariants); ++i) {
        cookies[i] = xcb_grab_key_checked(m_connection, 1, m_root, quint16(key.mask | lockVariants[i]),
                                          keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    int status = 0;
    for (const xcb_void_cookie_t &cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            if (status == 0)
                status = error->error_code;
            std::free(error);
        }
    }
    m_keycode = keycode;
    m_mask = quint16(key.mask);
    m_grabbed = true;
    if (status != 0) {
        // Some variants may have been granted: a refused combination leaves nothing of ours behind.
        release();
        return status;
    }
    return 0;
}

void X11HotKeyGrabber::release()
{
    if (!m_grabbed)
        return;
    for (const quint16 variant : lockVariants)
        xcb_ungrab_key(m_connection, m_keycode, m_root, quint16(m_mask | variant));
    xcb_flush(m_connection);
    m_grabbed = false;
    m_down = false;
}

void X11HotKeyGrabber::setOnPress(std::function<void()> onPress)
{
    m_onPress = std::move(onPress);
}

bool X11HotKeyGrabber::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!m_grabbed || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
    if (key->detail != m_keycode)
        return false;
    // The modifiers may be let go first: any release of the key ends the press. While a window of ours
    // has the keyboard, the server reports the release to that window, not to the root the grab is on.
    if (type == XCB_KEY_RELEASE) {
        m_down = false;
        return key->event == m_root;
    }
    if (key->event != m_root)
        return false;
    if ((key->state & relevantModifiers) != m_mask)
        return false;
    // Holding the keys repeats the press without a release in between: that is still one press.
    if (m_down)
        return true;
    m_down = true;
    if (m_onPress)
        m_onPress();
    return true;
}
