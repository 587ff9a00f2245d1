#pragma once

#include <optional>
#include <QString>
#include <QStringList>

// The program names its symbols as data ("lightbulb.fill", "sofa"); this catalogue draws each one
// with a glyph of the Material Design icon font.
namespace SymbolCatalog {

// The glyph for a symbol name, or nothing when the catalogue lacks the name.
std::optional<QString> find(const QString &name);
// The glyph, or the generic device glyph for a name the catalogue lacks, so a view always shows an icon.
QString glyph(const QString &name);
QStringList names();

// Makes the icon font available to the process; false when it cannot be loaded.
bool loadFont();
QString fontFamily();

} // namespace SymbolCatalog
