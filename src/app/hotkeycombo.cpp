#include "app/hotkeycombo.h"

#include <array>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

struct KeyEntry {
    quint32 keyCode; // Mac virtual key code, as stored
    const char16_t *name;
    int qtKey;
    int shiftedQtKey; // the US layout's character with Shift, 0 when none
    quint32 keysym;
};

// X11 modifier state bits.
constexpr quint32 x11ShiftMask = 1 << 0;
constexpr quint32 x11ControlMask = 1 << 2;
constexpr quint32 x11Mod1Mask = 1 << 3;
constexpr quint32 x11Mod4Mask = 1 << 6;

// clang-format off
constexpr std::array<KeyEntry, 73> keys = {{
    {49, u"Space", Qt::Key_Space, 0, 0x0020},
    {36, u"Return", Qt::Key_Return, 0, 0xff0d},
    {48, u"Tab", Qt::Key_Tab, Qt::Key_Backtab, 0xff09},
    {53, u"Esc", Qt::Key_Escape, 0, 0xff1b},
    {51, u"Delete", Qt::Key_Backspace, 0, 0xff08},
    {117, u"Fwd Del", Qt::Key_Delete, 0, 0xffff},
    {123, u"←", Qt::Key_Left, 0, 0xff51},
    {124, u"→", Qt::Key_Right, 0, 0xff53},
    {126, u"↑", Qt::Key_Up, 0, 0xff52},
    {125, u"↓", Qt::Key_Down, 0, 0xff54},
    {115, u"Home", Qt::Key_Home, 0, 0xff50},
    {119, u"End", Qt::Key_End, 0, 0xff57},
    {116, u"Page Up", Qt::Key_PageUp, 0, 0xff55},
    {121, u"Page Down", Qt::Key_PageDown, 0, 0xff56},
    {0, u"A", Qt::Key_A, 0, 'a'},  {11, u"B", Qt::Key_B, 0, 'b'}, {8, u"C", Qt::Key_C, 0, 'c'},
    {2, u"D", Qt::Key_D, 0, 'd'},  {14, u"E", Qt::Key_E, 0, 'e'}, {3, u"F", Qt::Key_F, 0, 'f'},
    {5, u"G", Qt::Key_G, 0, 'g'},  {4, u"H", Qt::Key_H, 0, 'h'},  {34, u"I", Qt::Key_I, 0, 'i'},
    {38, u"J", Qt::Key_J, 0, 'j'}, {40, u"K", Qt::Key_K, 0, 'k'}, {37, u"L", Qt::Key_L, 0, 'l'},
    {46, u"M", Qt::Key_M, 0, 'm'}, {45, u"N", Qt::Key_N, 0, 'n'}, {31, u"O", Qt::Key_O, 0, 'o'},
    {35, u"P", Qt::Key_P, 0, 'p'}, {12, u"Q", Qt::Key_Q, 0, 'q'}, {15, u"R", Qt::Key_R, 0, 'r'},
    {1, u"S", Qt::Key_S, 0, 's'},  {17, u"T", Qt::Key_T, 0, 't'}, {32, u"U", Qt::Key_U, 0, 'u'},
    {9, u"V", Qt::Key_V, 0, 'v'},  {13, u"W", Qt::Key_W, 0, 'w'}, {7, u"X", Qt::Key_X, 0, 'x'},
    {16, u"Y", Qt::Key_Y, 0, 'y'}, {6, u"Z", Qt::Key_Z, 0, 'z'},
    {29, u"0", Qt::Key_0, Qt::Key_ParenRight, '0'},
    {18, u"1", Qt::Key_1, Qt::Key_Exclam, '1'},
    {19, u"2", Qt::Key_2, Qt::Key_At, '2'},
    {20, u"3", Qt::Key_3, Qt::Key_NumberSign, '3'},
    {21, u"4", Qt::Key_4, Qt::Key_Dollar, '4'},
    {23, u"5", Qt::Key_5, Qt::Key_Percent, '5'},
    {22, u"6", Qt::Key_6, Qt::Key_AsciiCircum, '6'},
    {26, u"7", Qt::Key_7, Qt::Key_Ampersand, '7'},
    {28, u"8", Qt::Key_8, Qt::Key_Asterisk, '8'},
    {25, u"9", Qt::Key_9, Qt::Key_ParenLeft, '9'},
    {27, u"-", Qt::Key_Minus, Qt::Key_Underscore, '-'},
    {24, u"=", Qt::Key_Equal, Qt::Key_Plus, '='},
    {33, u"[", Qt::Key_BracketLeft, Qt::Key_BraceLeft, '['},
    {30, u"]", Qt::Key_BracketRight, Qt::Key_BraceRight, ']'},
    {42, u"\\", Qt::Key_Backslash, Qt::Key_Bar, '\\'},
    {41, u";", Qt::Key_Semicolon, Qt::Key_Colon, ';'},
    {39, u"'", Qt::Key_Apostrophe, Qt::Key_QuoteDbl, '\''},
    {43, u",", Qt::Key_Comma, Qt::Key_Less, ','},
    {47, u".", Qt::Key_Period, Qt::Key_Greater, '.'},
    {44, u"/", Qt::Key_Slash, Qt::Key_Question, '/'},
    {50, u"`", Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, '`'},
    {122, u"F1", Qt::Key_F1, 0, 0xffbe},  {120, u"F2", Qt::Key_F2, 0, 0xffbf},
    {99, u"F3", Qt::Key_F3, 0, 0xffc0},   {118, u"F4", Qt::Key_F4, 0, 0xffc1},
    {96, u"F5", Qt::Key_F5, 0, 0xffc2},   {97, u"F6", Qt::Key_F6, 0, 0xffc3},
    {98, u"F7", Qt::Key_F7, 0, 0xffc4},   {100, u"F8", Qt::Key_F8, 0, 0xffc5},
    {101, u"F9", Qt::Key_F9, 0, 0xffc6},  {109, u"F10", Qt::Key_F10, 0, 0xffc7},
    {103, u"F11", Qt::Key_F11, 0, 0xffc8}, {111, u"F12", Qt::Key_F12, 0, 0xffc9},
}};
// clang-format on

const KeyEntry *entryFor(quint32 keyCode)
{
    for (const KeyEntry &entry : keys) {
        if (entry.keyCode == keyCode)
            return &entry;
    }
    return nullptr;
}

} // namespace

QString HotKeyCombo::display() const
{
    QStringList parts;
    if (modifiers & controlMask)
        parts << u"Ctrl"_s;
    if (modifiers & optionMask)
        parts << u"Alt"_s;
    if (modifiers & shiftMask)
        parts << u"Shift"_s;
    if (modifiers & commandMask)
        parts << u"Super"_s;
    // The Mac names of the two delete keys are the other way round here.
    if (keyCode == 51)
        parts << u"Backspace"_s;
    else if (keyCode == 117)
        parts << u"Delete"_s;
    else
        parts << keyName(keyCode);
    return parts.join(u'+');
}

QString HotKeyCombo::keyName(quint32 keyCode)
{
    if (const KeyEntry *entry = entryFor(keyCode))
        return QString::fromUtf16(entry->name);
    return u"toets "_s + QString::number(keyCode);
}

quint32 HotKeyCombo::carbonModifiers(Qt::KeyboardModifiers modifiers)
{
    quint32 mask = 0;
    if (modifiers & Qt::MetaModifier)
        mask |= commandMask;
    if (modifiers & Qt::ShiftModifier)
        mask |= shiftMask;
    if (modifiers & Qt::AltModifier)
        mask |= optionMask;
    if (modifiers & Qt::ControlModifier)
        mask |= controlMask;
    return mask;
}

std::optional<quint32> HotKeyCombo::keyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool shifted = modifiers & Qt::ShiftModifier;
    for (const KeyEntry &entry : keys) {
        if (entry.qtKey == qtKey || (shifted && entry.shiftedQtKey != 0 && entry.shiftedQtKey == qtKey))
            return entry.keyCode;
    }
    return std::nullopt;
}

std::optional<HotKeyCombo::X11Grab> HotKeyCombo::x11Grab() const
{
    const KeyEntry *entry = entryFor(keyCode);
    if (!entry)
        return std::nullopt;
    quint32 mask = 0;
    if (modifiers & controlMask)
        mask |= x11ControlMask;
    if (modifiers & optionMask)
        mask |= x11Mod1Mask;
    if (modifiers & shiftMask)
        mask |= x11ShiftMask;
    if (modifiers & commandMask)
        mask |= x11Mod4Mask;
    return X11Grab{entry->keysym, mask};
}
