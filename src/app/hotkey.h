#pragma once

#include "app/hotkeycombo.h"
#include "ports/hotkeygrabber.h"

#include <functional>
#include <memory>

// One registered global hot key over the desktop's grabber. Writes no log line at registration: the
// callers do.
class HotKey {
public:
    // Nullptr when the combination cannot be registered (a key outside the table, refused by the server).
    static std::unique_ptr<HotKey> create(HotKeyGrabber &grabber, const HotKeyCombo &combo,
                                          std::function<void()> action, int *status = nullptr);
    ~HotKey();

    HotKey(const HotKey &) = delete;
    HotKey &operator=(const HotKey &) = delete;

    // The registered combination.
    const HotKeyCombo &combo() const { return m_combo; }
    bool isRegistered() const { return m_registered; }
    int lastStatus() const { return m_lastStatus; }

    // Registers `to` in place of the current one. When that fails, the current one is registered again,
    // so a failed change never leaves the user without the hot key they had.
    bool change(const HotKeyCombo &to);

private:
    HotKey(HotKeyGrabber &grabber, const HotKeyCombo &combo);
    int registerCombo(const HotKeyCombo &combo);

    HotKeyGrabber &m_grabber;
    HotKeyCombo m_combo;
    bool m_registered = false;
    int m_lastStatus = 0;
};
