#pragma once

#include "ports/x11keygrab.h"

#include <functional>

// A system-wide key grab of the desktop, implemented over X11 in src/platform; tests use a fake. Holds at
// most one grab at a time.
class HotKeyGrabber {
public:
    enum class Availability { ready, wayland, noDisplay };

    virtual ~HotKeyGrabber() = default;

    virtual Availability availability() const = 0;
    // Grabs the key and returns 0, or a failure status (the server's error code, or -1 when the keyboard
    // has no such key): a combination another client holds is refused. A failed grab leaves none.
    virtual int grab(const X11KeyGrab &key) = 0;
    // Releases the current grab, if any.
    virtual void release() = 0;
    // Called on the main thread once per press of the grabbed key (auto-repeat is not a press).
    virtual void setOnPress(std::function<void()> onPress) = 0;
};
