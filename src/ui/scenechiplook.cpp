#include "ui/scenechiplook.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

SceneChipLook SceneChipLook::make(const Hit &hit, std::optional<int> shortcut, bool selected)
{
    SceneChipLook look;
    look.symbol = SymbolCatalog::glyph(hit.symbol);
    look.title = hit.title;
    look.selected = selected;
    look.hasShortcut = shortcut.has_value();
    if (shortcut)
        look.shortcut = KeyCapLook::make(QString(QChar(0x2318)) + QString::number(*shortcut), selected);
    look.borderColor = selected ? Theme::fade(Theme::lit(), 0.45) : Theme::white(0.06);
    look.accessibleName = hit.title;
    look.accessibleHint = hit.subtitle.value_or(u"Start deze scene"_s);
    return look;
}

QColor SceneChipLook::symbolColor(bool hovering) const
{
    return selected || hovering ? Theme::lit() : Theme::textDim();
}

QColor SceneChipLook::titleColor(bool hovering) const
{
    if (selected)
        return Qt::white;
    return hovering ? Theme::litSoft() : Theme::text();
}

QColor SceneChipLook::fillColor(bool hovering) const
{
    if (selected)
        return Theme::selection();
    return Theme::white(hovering ? 0.09 : 0.055);
}
