#include "ui/modechiplook.h"

#include "ui/theme.h"

using namespace Qt::StringLiterals;

ModeChipLook ModeChipLook::make(const Hit &hit, bool selected)
{
    ModeChipLook look;
    look.title = hit.title;
    look.isOn = hit.accessory.toggleState() == true;
    look.selected = selected;
    look.ringColor = look.isOn ? Theme::lit() : Theme::textFaint();
    look.borderColor = selected ? Theme::fade(Theme::lit(), 0.45) : QColor(Qt::transparent);
    look.accessibleName = hit.title;
    look.accessibleValue = look.isOn ? u"aan"_s : u"uit"_s;
    return look;
}

QColor ModeChipLook::titleColor(bool hovering) const
{
    if (isOn)
        return Theme::litSoft();
    return hovering ? Theme::text() : Theme::textDim();
}

QColor ModeChipLook::fillColor(bool hovering) const
{
    if (selected)
        return Theme::selection();
    return hovering ? Theme::white(0.06) : QColor(Qt::transparent);
}
