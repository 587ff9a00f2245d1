#pragma once

#include "app/hotkey.h"
#include "app/hotkeycombo.h"
#include "app/hotkeygrabber.h"

#include <memory>
#include <QObject>

class HotKeyTester;
class PanelToggle;

// The application's side of the global hot key: registering the stored combination at launch, changing
// it from the settings window, and what a press does (the tester first, then the panel toggle).
class HotKeyControl : public QObject {
    Q_OBJECT

public:
    HotKeyControl(HotKeyGrabber &grabber, HotKeyTester &tester, PanelToggle &toggle, bool testInstance,
                  QObject *parent = nullptr);
    ~HotKeyControl() override;

    // Registers Settings::hotKey(), except in a test instance or where the desktop allows no grab.
    void setUp();
    // The settings window's change. True when `to` is registered afterwards; on failure the combination
    // registered before stays registered. Settings are not written here: the caller stores `to` on true.
    bool changeHotKey(const HotKeyCombo &to);
    void hotKeyFired();

    bool isRegistered() const;
    // False where the desktop lets no program grab a key for itself (Wayland) or there is no display:
    // no text may then offer a hot key.
    bool desktopAllowsGrab() const;
    // What menus, tooltips and the palette show: the registered combination, else the stored one.
    HotKeyCombo shownCombo() const;

Q_SIGNALS:
    // After every change attempt, successful or not: the menu, the tooltip and the palette's label
    // are rebuilt from shownCombo().
    void shownComboChanged();

private:
    std::unique_ptr<HotKey> make(const HotKeyCombo &combo, int *status = nullptr);

    HotKeyGrabber &m_grabber;
    HotKeyTester &m_tester;
    PanelToggle &m_toggle;
    const bool m_testInstance;
    std::unique_ptr<HotKey> m_hotKey;
};
