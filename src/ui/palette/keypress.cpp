#include "ui/palette/keypress.h"

#include <algorithm>

namespace {

constexpr Qt::KeyboardModifiers held =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::GroupSwitchModifier;

} // namespace

bool KeyPress::isCommandChord() const
{
    return (modifiers & held & ~Qt::KeyboardModifiers(Qt::ShiftModifier)) == Qt::ControlModifier;
}

bool KeyPress::quits() const
{
    return key == Qt::Key_Q && isCommandChord() && !shiftHeld();
}

bool KeyPress::isPlain() const
{
    return (modifiers & held) == Qt::NoModifier;
}

std::optional<int> KeyPress::digit() const
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    // With Shift held the US layout reports the symbol over the digit.
    static constexpr int shifted[] = {
        Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
        Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
    if (!shiftHeld())
        return std::nullopt;
    const auto found = std::find(std::begin(shifted), std::end(shifted), key);
    if (found == std::end(shifted))
        return std::nullopt;
    return int(found - std::begin(shifted));
}
