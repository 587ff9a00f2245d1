#include "ui/palette/notificationrowlook.h"

#include "base/text/counted.h"
#include "ui/fmt.h"
#include "ui/keytext.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

NotificationRowLook NotificationRowLook::make(int index, const HomeyNotification &item, bool selected,
                                              const QDateTime &now)
{
    const bool urgent = item.urgency() == HomeyNotification::Urgency::urgent;
    NotificationRowLook look;
    look.index = index;
    look.selected = selected;
    look.icon = SymbolCatalog::glyph(item.symbol);
    look.iconColor = urgent ? Theme::lit() : item.isRead ? Theme::textFaint() : Theme::litDeep();
    look.title = item.title;
    look.titleColor = item.isRead ? Theme::textDim() : Theme::text();
    look.showsDot = !item.isRead;
    look.subtitle = item.subtitle.value_or(QString());
    look.body = item.body;
    look.detail = item.detail.value_or(QString());
    look.time = Fmt::clock(item.date, now);
    look.source = sourceLabel(item);
    look.showsStripe = selected || urgent;
    look.stripeColor = selected ? Theme::lit() : Theme::fade(Theme::lit(), 0.55);
    look.accessibleName = item.title + u". "_s + item.subtitle.value_or(QString()) + u". "_s + item.body;
    look.accessibleValue = look.time + u", "_s + (item.isRead ? u"gelezen"_s : u"ongelezen"_s);
    return look;
}

QString NotificationRowLook::sourceLabel(const HomeyNotification &item)
{
    if (item.source == HomeyNotification::Source::p2000 && item.priority)
        return u"prio "_s + QString::number(*item.priority);
    return item.source.title().toLower();
}

QColor NotificationRowLook::fillColor(bool hovering) const
{
    if (selected)
        return Theme::selection();
    return Theme::white(hovering ? 0.05 : 0);
}

NotificationBellLook NotificationBellLook::make(int unread)
{
    NotificationBellLook look;
    look.lit = unread >= 1;
    look.symbol = look.lit ? SymbolCatalog::glyph(u"bell.fill"_s) : SymbolCatalog::glyph(u"bell"_s);
    look.showsBadge = look.lit;
    look.count = look.lit ? QString::number(unread) : QString();
    look.tooltip = u"Meldingen ("_s + KeyText::display(u"\u2318N"_s) + u')';
    look.accessibleName =
        look.lit ? Counted::text(unread, u"ongelezen melding"_s, u"ongelezen meldingen"_s) : u"Meldingen"_s;
    return look;
}

QColor NotificationBellLook::symbolColor(bool hovering) const
{
    if (lit)
        return Theme::lit();
    return hovering ? Theme::textDim() : Theme::textFaint();
}
