#pragma once

#include <QIcon>
#include <QString>

// Draws the tray icon: the symbol's glyph at an opacity with the unread count on a badge, or the text
// label "QV" when the glyph cannot be drawn.
namespace StatusIcon {

struct Drawn {
    QIcon icon;
    // False when the symbol had no glyph and the "QV" label stands in.
    bool hasSymbol = false;
};

Drawn draw(const QString &symbol, double opacity, const QString &badge);

} // namespace StatusIcon
