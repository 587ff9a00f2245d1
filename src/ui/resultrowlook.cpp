#include "ui/resultrowlook.h"

#include "ui/fmt.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

using Kind = Hit::Accessory::Kind;

bool isLit(const Hit::Accessory &accessory)
{
    return accessory.toggleState() == true || accessory.dimmerLevel().value_or(0) > 0;
}

// Every word the Return key can stand for.
const QString verbStart = u"start"_s;
const QString verbOff = u"uit"_s;
const QString verbOn = u"aan"_s;
const QString verbShow = u"toon"_s;
const QString verbDo = u"doe"_s;

QString verbOfHit(const Hit &hit)
{
    const Hit::Accessory &a = hit.accessory;
    switch (hit.target.kind()) {
    case Hit::Target::Kind::flow:
    case Hit::Target::Kind::mood:
        return verbStart;
    case Hit::Target::Kind::room:
        return isLit(a) ? verbOff : verbOn;
    case Hit::Target::Kind::device:
        switch (a.kind()) {
        case Kind::value:
            return verbShow;
        case Kind::dimmer:
        case Kind::toggle:
            return isLit(a) ? verbOff : verbOn;
        case Kind::run:
        case Kind::none:
            return verbDo;
        }
    }
    return verbDo;
}

} // namespace

QString ResultRowLook::verbFor(const Hit &hit, const std::optional<RunAction> &action)
{
    switch (action ? action->kind : RunAction::Kind::Default) {
    case RunAction::Kind::Start:
        return verbStart;
    case RunAction::Kind::SwitchOn:
        return verbOn;
    case RunAction::Kind::SwitchOff:
        return verbOff;
    case RunAction::Kind::SetLevel:
        return Fmt::percent(action->level);
    case RunAction::Kind::OpenStrip:
        return verbShow;
    case RunAction::Kind::Default:
    case RunAction::Kind::Nothing:
        break;
    }
    return verbOfHit(hit);
}

bool ResultRowLook::showsReturnFor(bool selected, const std::optional<RunAction> &action)
{
    return selected && (!action || action->kind != RunAction::Kind::Nothing);
}

ResultRowLook ResultRowLook::make(int index, const Hit &hit, bool selected, bool expanded, double fill,
                                  bool scrubbable, const std::optional<RunAction> &action)
{
    ResultRowLook look;
    look.index = index;
    look.hit = hit;
    look.selected = selected;
    look.expanded = expanded;
    look.fill = std::isfinite(fill) ? std::clamp(fill, 0.0, 1.0) : 0.0;
    look.subtitle = hit.subtitle.value_or(QString());
    look.height = look.subtitle.isEmpty() ? Theme::rowHeightCompact : Theme::rowHeight;
    look.symbol = SymbolCatalog::glyph(hit.symbol);
    look.symbolColor = selected ? Theme::lit() : isLit(hit.accessory) ? Theme::litDeep() : Theme::textFaint();
    look.title = hit.title;
    look.titleColor = selected ? QColor(Qt::white) : Theme::text();

    const Hit::Accessory &a = hit.accessory;
    switch (a.kind()) {
    case Kind::toggle: {
        const bool on = a.toggleState() == true;
        look.accessory = Accessory::Toggle;
        look.accessoryText = on ? u"aan"_s : u"uit"_s;
        look.accessoryColor = on ? Theme::lit() : Theme::textFaint();
        look.pillColor = on ? Theme::fade(Theme::lit(), 0.14) : Theme::white(0.05);
        look.accessibleValue = look.accessoryText;
        break;
    }
    case Kind::dimmer: {
        const double level = a.dimmerLevel().value_or(0);
        look.accessory = Accessory::Dimmer;
        look.accessoryText = Fmt::percent(level);
        look.accessoryColor = level > 0 ? Theme::litSoft() : Theme::textFaint();
        look.level = GlowBarLook::make(level, GlowBarLook::Tint::warm(), level > 0, scrubbable);
        look.accessibleValue = look.accessoryText;
        break;
    }
    case Kind::value:
        look.accessory = Accessory::Value;
        look.accessoryText = a.valueText().value_or(QString());
        look.accessoryColor = Theme::textDim();
        look.accessibleValue = look.accessoryText;
        break;
    case Kind::run:
        look.accessory = Accessory::Run;
        look.accessoryText = u"start"_s;
        look.accessoryColor = Theme::textFaint();
        look.accessibleValue = u"uitvoerbaar"_s;
        break;
    case Kind::none:
        look.accessory = Accessory::None;
        break;
    }
    look.showsReturn = showsReturnFor(selected, action);
    look.returnCap = KeyCapLook::make(QString(QChar(0x23ce)), true);
    look.verb = verbFor(hit, action);
    look.accessibleName = look.subtitle.isEmpty() ? hit.title : hit.title + u", "_s + look.subtitle;
    return look;
}

QString ResultRowLook::widestVerb()
{
    QString widest;
    for (const QString &verb : {verbStart, verbOff, verbOn, verbShow, verbDo}) {
        if (verb.size() > widest.size())
            widest = verb;
    }
    return widest;
}

double ResultRowLook::washWidth(double rowWidth) const
{
    return std::max(rowWidth * fill, 8.0);
}

QColor ResultRowLook::plateColor(bool hovering) const
{
    if (selected)
        return Theme::selection();
    return Theme::white(hovering ? 0.05 : 0);
}

QFont ResultRowLook::titleFont() const
{
    return selected ? Theme::title(13) : Theme::body(13);
}

QFont ResultRowLook::accessoryFont() const
{
    return hit.accessory.kind() == Kind::run ? Theme::mono(10) : Theme::mono(10.5);
}

bool ResultRowLook::operator==(const ResultRowLook &other) const
{
    // The verb too: a typed verb changes what Return does without changing the hit.
    return index == other.index && selected == other.selected && expanded == other.expanded &&
           fill == other.fill && hit == other.hit && verb == other.verb && showsReturn == other.showsReturn;
}
