#include "ui/controls/armmodechiplook.h"

#include "ui/controls/controlrowlook.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

ArmModeChipLook ArmModeChipLook::make(const QVariantMap &chip)
{
    ArmModeChipLook look;
    look.id = chip.value(u"id"_s).toString();
    look.text = chip.value(u"text"_s).toString();
    look.armed = chip.value(u"armed"_s).toBool();
    const bool current = chip.value(u"current"_s).toBool();
    const bool cursor = chip.value(u"cursor"_s).toBool();
    if (look.armed) {
        look.warningGlyph = SymbolCatalog::glyph(u"exclamationmark.triangle.fill"_s);
        look.inkColor = Qt::white;
        look.fillColor = Theme::fade(Theme::alarm(), 0.85);
        look.borderColor = Theme::alarm();
    } else {
        look.inkColor = current ? Theme::litSoft() : Theme::textDim();
        look.fillColor = current ? Theme::fade(Theme::lit(), 0.16) : Theme::white(0.05);
        if (cursor)
            look.borderColor = Theme::fade(Theme::lit(), 0.9);
        else
            look.borderColor = current ? Theme::fade(Theme::lit(), 0.35) : QColor(Qt::transparent);
    }
    look.borderWidth = cursor ? 1 : 0.5;
    look.accessibleName = chip.value(u"title"_s).toString();
    look.accessibleDescription = ControlRowLook::spoken(chip.value(u"accessibleValue"_s).toString(),
                                                        chip.value(u"accessibleHint"_s).toString());
    return look;
}
