#pragma once

#include "app/hotkeycombo.h"

#include <QString>

// What a person is told, once, when the desktop has no tray: that Quorvane runs all the same, and what
// opens its panel instead. Only texts; the tray's set-up shows them.
struct NoTrayNotice {
    QString title;
    QString text;

    // wayIn says what still opens the panel, one sentence; logPath is where the log is.
    static NoTrayNotice make(const QString &wayIn, const QString &logPath);
    // The way in while a global hot key is there: "Ctrl+Alt+Space opent het paneel nog steeds."
    static QString hotKeyWayIn(const HotKeyCombo &combo);
    // The way in where the desktop allows no global hot key (Wayland): a second start, from a shortcut
    // of the desktop's own.
    static QString secondStartWayIn();

    bool operator==(const NoTrayNotice &) const = default;
};
