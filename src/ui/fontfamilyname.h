#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// A TrueType or OpenType font file with its names replaced, so the font it holds is known by a family
// name of the program's own. Copies of a font that the system also has (in other formats too) then never
// stand in for the one the program loaded.
namespace FontFamilyName {

// The font with a naming table of the given family (style "Regular"); nothing when the data is no
// single font whose tables lie inside it.
std::optional<QByteArray> renamed(const QByteArray &font, const QString &family);

} // namespace FontFamilyName
