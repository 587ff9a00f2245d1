#pragma once

#include <QString>

// Whether the program runs in a Wayland session, however Qt reached the desktop: natively, or as an X11
// client of XWayland, also when the environment was stripped of its Wayland variables. Where a Wayland
// compositor rules, no program can grab a key for the whole desktop nor learn where its windows are.
namespace DesktopSession {

// What a session shows of itself.
struct Signs {
    // Qt's platform plugin: "wayland", "xcb", "offscreen", ...
    QString platformName;
    QString waylandDisplay;
    QString sessionType;
    // The X server Qt talks to is XWayland.
    bool xWaylandServer = false;
};

bool isWayland(const Signs &signs);
// This process's signs. The X server's is read only once the application object exists.
Signs current();
// isWayland(current()); worked out once, after the application object exists.
bool isWayland();

} // namespace DesktopSession
