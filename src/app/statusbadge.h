#pragma once

#include <QString>

class QPainter;

// The unread count's badge on the tray icon: a pill in the accent at the bottom right, the count on it.
// A count is put together from digits drawn beforehand, at the first badge of a size: drawn as text it
// goes through the font engine and the shaper, which a redraw in a burst of notifications finds cold
// every time, where copying a few small images does not. It comes out as the text drawn whole would.
namespace StatusBadge {

// Draws the badge with this text on an icon of size pixels square.
void draw(QPainter &painter, int size, const QString &text);

} // namespace StatusBadge
