#pragma once

#include <QtGlobal>

// What an X11 grab of a key combination takes: a keysym and a modifier state (Control, Mod1 for Alt,
// Shift, Mod4 for Super).
struct X11KeyGrab {
    quint32 keysym = 0;
    quint32 mask = 0;
    bool operator==(const X11KeyGrab &) const = default;
};
