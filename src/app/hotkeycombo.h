#pragma once

#include "ports/x11keygrab.h"

#include <optional>
#include <QString>
#include <Qt>

// A system-wide key combination in its stored form: a Mac virtual key code and a Carbon modifier mask,
// the form the settings have always kept. One table translates it from Qt key events and to X11 grabs.
struct HotKeyCombo {
    static constexpr quint32 commandMask = 0x100; // the Super key under X11
    static constexpr quint32 shiftMask = 0x200;
    static constexpr quint32 optionMask = 0x800; // Alt
    static constexpr quint32 controlMask = 0x1000;
    static constexpr quint32 anyModifierMask = commandMask | shiftMask | optionMask | controlMask;
    static constexpr quint32 spaceKeyCode = 49;
    static constexpr quint32 escapeKeyCode = 53;

    quint32 keyCode = spaceKeyCode;
    quint32 modifiers = controlMask | optionMask;

    // Control-Alt-Space.
    static HotKeyCombo standard() { return {}; }

    bool hasModifier() const { return (modifiers & anyModifierMask) != 0; }
    // The combination as every text a person reads names it, the way this desktop names keys: the
    // modifiers in the order Ctrl, Alt, Shift, Super, then the key, joined by "+": "Ctrl+Alt+Space".
    QString display() const;
    // The key's name from the table, else "toets " and the code.
    static QString keyName(quint32 keyCode);

    // Control, Alt, Shift and Meta (Super) of a key event; keypad and other flags are ignored.
    static quint32 carbonModifiers(Qt::KeyboardModifiers modifiers);
    // The stored code of a Qt key; nullopt for keys outside the table. With Shift held, the US layout's
    // shifted symbols count as their keys ("!" is the 1 key).
    static std::optional<quint32> keyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers);

    // What an X11 grab of this combination takes. Nullopt for a key outside the table.
    using X11Grab = X11KeyGrab;
    std::optional<X11Grab> x11Grab() const;

    bool operator==(const HotKeyCombo &) const = default;
};
