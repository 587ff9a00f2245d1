#include "app/hotkeycontrol.h"
#include "app/hotkeytester.h"
#include "app/paneltoggle.h"
#include "app/settings.h"
#include "logcapture.h"
#include "platform/x11hotkeygrabber.h"

#include <cstdlib>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

using namespace Qt::StringLiterals;

namespace {

bool onDisplay()
{
    return QGuiApplication::platformName() == u"xcb"_s;
}

void xdotool(const QStringList &keys)
{
    QProcess process;
    process.start(u"xdotool"_s, QStringList{u"key"_s} + keys);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
}

// Another X client that holds Ctrl+Alt+K, as a desktop's own shortcut would.
class ForeignGrab {
public:
    ForeignGrab() : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, 'k');
        m_keycode = codes[0];
        std::free(codes);
        xcb_key_symbols_free(symbols);
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(m_connection, 1, m_root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, m_keycode,
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        m_ok = xcb_request_check(m_connection, cookie) == nullptr;
    }
    ~ForeignGrab() { xcb_disconnect(m_connection); }
    bool ok() const { return m_ok; }

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_root = 0;
    xcb_keycode_t m_keycode = 0;
    bool m_ok = false;
};

} // namespace

// Runs plainly (no display: the grabber says so) and through run-xvfb.sh on a private X server.
class TstX11HotKey : public QObject {
    Q_OBJECT

    bool visible = false;
    QStringList hides;

private Q_SLOTS:
    void withoutDisplayNothingIsGrabbed()
    {
        if (onDisplay())
            QSKIP("runs on a display");
        X11HotKeyGrabber grabber;
        QCOMPARE(grabber.availability(), HotKeyGrabber::Availability::noDisplay);
        QCOMPARE(grabber.grab(*HotKeyCombo::standard().x11Grab()), -1);
    }

    void pressesArriveAndAHeldCombinationIsRefused()
    {
        if (!onDisplay())
            QSKIP("needs run-xvfb.sh");
        Settings::defaults().remove(Settings::hotKeyCodeKey);
        X11HotKeyGrabber grabber;
        QCOMPARE(grabber.availability(), HotKeyGrabber::Availability::ready);
        HotKeyTester tester;
        PanelToggle toggle({[this] { return visible; }, [this] { visible = true; },
                            [this](const QString &reason) {
                                visible = false;
                                hides << reason;
                            }});
        HotKeyControl control(grabber, tester, toggle, false);
        LogCapture logged;
        control.setUp();
        QVERIFY(control.isRegistered());

        xdotool({u"ctrl+alt+space"_s});
        QTRY_COMPARE(logged.matching(u"hotkey: gevuurd"_s).size(), 1);
        QVERIFY(visible);
        // Caps Lock and Num Lock on: still the same combination.
        xdotool({u"Caps_Lock"_s, u"ctrl+alt+space"_s, u"Caps_Lock"_s});
        QTRY_COMPARE(logged.matching(u"hotkey: gevuurd"_s).size(), 2);
        QCOMPARE(hides, QStringList{u"toggle"_s});
        xdotool({u"Num_Lock"_s, u"ctrl+alt+space"_s, u"Num_Lock"_s});
        QTRY_COMPARE(logged.matching(u"hotkey: gevuurd"_s).size(), 3);

        ForeignGrab foreign;
        QVERIFY(foreign.ok());
        const HotKeyCombo ctrlAltK{40, HotKeyCombo::controlMask | HotKeyCombo::optionMask};
        QVERIFY(!control.changeHotKey(ctrlAltK));
        QVERIFY(logged.lines().contains(u"hotkey: registreren van Ctrl+Alt+K MISLUKT, status 10"_s));
        QCOMPARE(control.shownCombo(), HotKeyCombo::standard());
        // The old combination is still ours.
        xdotool({u"ctrl+alt+space"_s});
        QTRY_COMPARE(logged.matching(u"hotkey: gevuurd"_s).size(), 4);
    }
};

QTEST_MAIN(TstX11HotKey)
#include "tst_x11hotkey.moc"
