#include "ui/keycaplook.h"

#include "ui/keytext.h"
#include "ui/theme.h"

KeyCapLook KeyCapLook::make(const QString &key, bool filled)
{
    if (filled)
        return {KeyText::display(key), QColor::fromRgbF(0.102f, 0.071f, 0.024f), Theme::litDeep(),
                Qt::transparent};
    return {KeyText::display(key), Theme::textDim(), Theme::white(0.08), Theme::white(0.06)};
}
