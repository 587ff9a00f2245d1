#pragma once

#include <array>
#include <QIcon>
#include <QPixmap>
#include <QString>

// Draws the tray icon: the symbol's glyph at an opacity with the unread count on a badge, or the text
// label "QV" when the glyph cannot be drawn.
namespace StatusIcon {

struct Drawn {
    QIcon icon;
    // False when the symbol had no glyph and the "QV" label stands in.
    bool hasSymbol = false;
};

// Each size is its own drawing rather than a blurred scale; a tray asking for another size gets the
// nearest of these.
inline constexpr std::array<int, 6> sizes{16, 22, 24, 32, 48, 64};

// A size is drawn only when the tray first asks for it.
Drawn draw(const QString &symbol, double opacity, const QString &badge);
// One size, drawn at once.
QPixmap drawAt(const QString &symbol, double opacity, const QString &badge, int size);

} // namespace StatusIcon
