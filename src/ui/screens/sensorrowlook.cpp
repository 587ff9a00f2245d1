#include "ui/screens/sensorrowlook.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

SensorRowLook SensorRowLook::make(const Hit &hit)
{
    SensorRowLook look;
    look.hit = hit;
    look.symbol = SymbolCatalog::glyph(hit.symbol);
    look.symbolColor = Theme::fade(Theme::textFaint(), 0.8);
    look.title = hit.title;
    look.titleColor = Theme::textDim();
    look.subtitle = hit.subtitle.value_or(QString());
    look.subtitleColor = Theme::fade(Theme::textFaint(), 0.8);
    look.value = hit.accessory.valueText().value_or(QString());
    look.valueColor = Theme::textDim();
    return look;
}
