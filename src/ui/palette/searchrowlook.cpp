#include "ui/palette/searchrowlook.h"

#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

SearchRowLook SearchRowLook::make(const State &state)
{
    const bool typed = !state.query.isEmpty();
    const bool scoped = state.room.has_value();
    SearchRowLook look;
    look.magnifier = SymbolCatalog::glyph(u"magnifyingglass"_s);
    look.magnifierColor = typed ? Theme::lit() : Theme::textFaint();
    // The notifications list wins over a room, though entering the list leaves any room.
    if (state.showsNotifications) {
        look.showsChip = true;
        look.notificationsChip = true;
        look.chip = ScopeChipLook::make(u"Meldingen"_s, u"bell.fill"_s);
    } else if (scoped) {
        look.showsChip = true;
        look.chip = ScopeChipLook::make(state.room->name, state.room->symbol);
    }
    look.prompt = promptText(state.showsNotifications, scoped);
    look.accessibleLabel = u"Zoek een lamp, kamer of flow"_s;
    look.showsBell = !state.showsNotifications;
    look.bell = NotificationBellLook::make(state.unread);
    const bool leavable = typed || scoped || state.showsNotifications;
    look.showsClear = typed;
    look.clearGlyph = SymbolCatalog::glyph(u"xmark.circle.fill"_s);
    look.clearLabel = u"Zoekopdracht wissen"_s;
    look.showsEscape = leavable;
    look.escapeCap = KeyCapLook::make(u"esc"_s);
    // No label: the desktop allows no global hot key, and no chip may promise one.
    look.showsHotKey = !leavable && !state.hotKeyLabel.isEmpty();
    look.hotKeyLabel = state.hotKeyLabel;
    return look;
}

QString SearchRowLook::promptText(bool showsNotifications, bool scoped)
{
    if (showsNotifications)
        return u"Filter je meldingen\u2026"_s;
    if (scoped)
        return u"Filter in deze kamer\u2026"_s;
    return u"Zoek een lamp, kamer of flow\u2026"_s;
}

bool SearchRowLook::operator==(const SearchRowLook &other) const
{
    return magnifierColor == other.magnifierColor && showsChip == other.showsChip &&
           notificationsChip == other.notificationsChip && chip.name == other.chip.name &&
           chip.symbol == other.chip.symbol && prompt == other.prompt && showsBell == other.showsBell &&
           bell == other.bell && showsClear == other.showsClear && showsEscape == other.showsEscape &&
           showsHotKey == other.showsHotKey && hotKeyLabel == other.hotKeyLabel;
}
