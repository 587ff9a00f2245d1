#pragma once

#include <functional>

// The desktop's system tray, where the status icon lives: a StatusNotifierItem host on the session bus
// or an XEmbed tray on the X display. Implemented in src/platform; tests use a fake. Either may come
// after the program: a panel that starts late, a tray host that is restarted.
class SystemTray {
public:
    enum class Kind { none, statusNotifier, xembed };

    virtual ~SystemTray() = default;

    // The tray that takes an icon now; the session bus's first, as the toolkit's tray icon prefers it.
    virtual Kind kind() const = 0;
    // Called on the main thread, from the event loop, when a tray came or went: kind() says which is
    // there then. Replaces the previous callback; an empty one ends the calls.
    virtual void setOnChange(std::function<void()> onChange) = 0;
};
