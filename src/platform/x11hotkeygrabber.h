#pragma once

#include "ports/hotkeygrabber.h"

#include <QAbstractNativeEventFilter>
#include <QtGlobal>

struct xcb_connection_t;

// The global hot key under X11: a passive grab of the key on the root window on Qt's own connection, in
// four variants so that Caps Lock and Num Lock do not matter, and the presses read from Qt's native
// events. The grab request is checked, so a combination another client holds is a refusal at once.
class X11HotKeyGrabber final : public HotKeyGrabber, public QAbstractNativeEventFilter {
public:
    X11HotKeyGrabber();
    ~X11HotKeyGrabber() override;

    Availability availability() const override;
    int grab(const X11KeyGrab &key) override;
    void release() override;
    void setOnPress(std::function<void()> onPress) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    Availability m_availability = Availability::noDisplay;
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    quint8 m_keycode = 0;
    quint16 m_mask = 0;
    bool m_grabbed = false;
    bool m_down = false;
    std::function<void()> m_onPress;
};
