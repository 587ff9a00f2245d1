#include "ui/controls/controlrowlook.h"

#include "ui/controls/armmodechiplook.h"
#include "ui/controls/controlrowview.h"
#include "ui/keycaplook.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

namespace {

GlowBarLook::Tint tintOf(const ControlRowView &view)
{
    using Tint = GlowBarLook::Tint;
    if (view.tint == u"temperature")
        return Tint::temperature();
    if (view.tint == u"hue")
        return Tint::hueWheel();
    if (view.tint == u"saturation")
        return Tint::saturation(view.tintHue);
    if (view.tint == u"neutral")
        return Tint::neutral();
    return Tint::warm();
}

void paintButton(ControlRowLook &look, const ControlRowView &view)
{
    if (view.kind == ControlRow::Kind::Media) {
        look.buttonInk = view.on ? Theme::lit() : Theme::text();
        look.buttonFill = view.on ? Theme::fade(Theme::lit(), 0.16) : Theme::white(0.08);
        look.buttonBorder = Qt::transparent;
    } else if (view.armed) {
        look.buttonInk = Qt::white;
        look.buttonFill = Theme::fade(Theme::alarm(), 0.85);
        look.buttonBorder = Theme::alarm();
    } else if (view.prominent) {
        look.buttonInk = Theme::text();
        look.buttonFill = Theme::white(0.09);
        look.buttonBorder = Qt::transparent;
    } else {
        look.buttonInk = Theme::textDim();
        look.buttonFill = Qt::transparent;
        look.buttonBorder = Theme::white(0.14);
    }
}

} // namespace

QString ControlRowLook::spoken(const QString &value, const QString &hint)
{
    if (value.isEmpty() || hint.isEmpty())
        return value + hint;
    return value + u", "_s + hint;
}

ControlRowLook ControlRowLook::make(const ControlRowView &view)
{
    ControlRowLook look;
    look.kind = view.kind;
    look.title = view.title;
    look.focused = view.focused;
    look.titleColor = view.focused ? Theme::litSoft() : Theme::textFaint();
    look.enabled = view.enabled;
    // Readings never take input; only a control that cannot act now fades.
    look.controlOpacity = view.focusable && !view.enabled ? 0.4 : 1;
    look.on = view.on;
    look.glyph = view.symbol.isEmpty() ? QString() : SymbolCatalog::glyph(view.symbol);
    look.stateText = view.stateText;
    look.stateColor = view.on
                          ? Theme::litSoft()
                          : (view.kind == ControlRow::Kind::Toggle ? Theme::textFaint() : Theme::textDim());

    look.trackColor = view.on ? Theme::fade(Theme::lit(), 0.3) : Theme::white(0.08);
    look.knobColor = view.on ? Theme::lit() : Theme::textFaint();
    look.knobGlow = view.on ? Theme::fade(Theme::lit(), 0.8) : QColor(Qt::transparent);

    const bool reading = view.kind == ControlRow::Kind::Readonly;
    look.hasBar = view.bar;
    if (view.bar)
        look.bar =
            GlowBarLook::make(view.value, tintOf(view), !reading && view.value > 0, !reading && view.enabled);
    look.swatch = view.kind == ControlRow::Kind::Hue;
    if (look.swatch)
        look.swatchColor = QColor::fromHsvF(float(look.bar.value), float(view.swatchSaturation), 1.0f);
    look.readout = view.readout;
    if (reading)
        look.readoutColor = Theme::textDim();
    else if (view.kind == ControlRow::Kind::Thermostat)
        look.readoutColor = Theme::litSoft();
    else
        look.readoutColor = view.bar && view.value > 0 ? Theme::litSoft() : Theme::textFaint();
    look.detail = view.detail;
    look.lowerText = view.lowerText;
    look.raiseText = view.raiseText;
    if (view.kind == ControlRow::Kind::Thermostat) {
        look.lowerGlyph = SymbolCatalog::glyph(u"minus"_s);
        look.raiseGlyph = SymbolCatalog::glyph(u"plus"_s);
    }

    look.hasButton = view.hasButton;
    look.buttonText = view.buttonText;
    look.armed = view.armed;
    if (view.armed)
        look.warningGlyph = SymbolCatalog::glyph(u"exclamationmark.triangle.fill"_s);
    if (view.hasButton)
        paintButton(look, view);

    if (view.kind == ControlRow::Kind::ArmMode) {
        for (const QVariant &chip : view.chips)
            look.chips.append(QVariant::fromValue(ArmModeChipLook::make(chip.toMap())));
    } else {
        look.chips = view.chips;
    }
    for (const QString &key : view.keyHints)
        look.keyCaps.append(QVariant::fromValue(KeyCapLook::make(key, true)));
    look.accessibleName = view.accessibleName;
    look.accessibleDescription = spoken(view.accessibleValue, view.accessibleHint);
    return look;
}
