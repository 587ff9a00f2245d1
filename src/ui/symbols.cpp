#include "ui/symbols.h"

#include "ui/symbolcatalog.h"

QString Symbols::glyph(const QString &name) const
{
    return SymbolCatalog::glyph(name);
}
