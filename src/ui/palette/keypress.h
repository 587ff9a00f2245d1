#pragma once

#include <optional>
#include <QString>
#include <Qt>

// One key press as the panel's window saw it, with the modifier tests of the palette's key map. Ctrl is
// the palette's command key; Alt and Meta (the Super key) never belong to a command.
struct KeyPress {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool autoRepeat = false;

    // Ctrl, perhaps with Shift, and nothing else held (the keypad flag does not count).
    bool isCommandChord() const;
    // No modifier held at all (the keypad flag does not count).
    bool isPlain() const;
    // Ctrl+Q, the program's quit key, as the tray menu names it. Not with Shift as well: that is no
    // promise anyone made, and a slip of the finger should not end the run.
    bool quits() const;
    bool commandHeld() const { return modifiers.testFlag(Qt::ControlModifier); }
    bool shiftHeld() const { return modifiers.testFlag(Qt::ShiftModifier); }
    // The digit of a key of the digit row (a shifted symbol of the US layout counts as its digit);
    // nothing for any other key.
    std::optional<int> digit() const;
};
