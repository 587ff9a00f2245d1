#include "app/statusitemlook.h"

#include "ui/keytext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The texts' lines, blank ones left out: a tray host that writes the lines on one row between
// separators would otherwise show a separator with nothing after it.
QString tooltipOf(const QStringList &texts)
{
    QStringList lines;
    for (const QString &text : texts) {
        for (const QString &line : text.split(u'\n')) {
            if (!line.trimmed().isEmpty())
                lines.append(line.trimmed());
        }
    }
    return lines.join(u'\n');
}

} // namespace

StatusItemLook StatusItemLook::of(const ConnectionState &state, int unread,
                                  const std::optional<HotKeyCombo> &hotKey)
{
    const QString opens = hotKey ? hotKey->display() + u" opent het paneel."_s : QString();
    const QString &text = state.text();
    StatusItemLook look;
    switch (state.kind()) {
    case ConnectionState::Kind::loading:
        look = {u"house"_s,
                0.55,
                {},
                text.trimmed().isEmpty() ? u"Quorvane"_s : tooltipOf({u"Quorvane: "_s + text})};
        break;
    case ConnectionState::Kind::degraded:
        look = {u"house.fill"_s, 0.6, {}, tooltipOf({u"Quorvane toont gegevens, maar niet live."_s, text})};
        break;
    case ConnectionState::Kind::failed:
        look = {u"exclamationmark.triangle.fill"_s, 1.0, {}, tooltipOf({text, state.hint()})};
        break;
    case ConnectionState::Kind::idle:
        look = {u"house"_s, 0.55, {}, tooltipOf({u"Quorvane. Nog niet verbonden."_s, opens})};
        break;
    case ConnectionState::Kind::connecting:
        look = {u"house"_s, 0.55, {}, u"Quorvane verbindt met je Homey…"_s};
        break;
    case ConnectionState::Kind::live:
        look = {u"house.fill"_s, 1.0, {}, tooltipOf({u"Quorvane is live."_s, opens})};
        break;
    }
    return look.counted(unread);
}

StatusItemLook StatusItemLook::counted(int unread) const
{
    StatusItemLook look = *this;
    if (unread >= 1) {
        look.badge = QString::number(std::min(unread, maximumBadge));
        look.tooltip +=
            u"\n"_s + QString::number(unread) + u" ongelezen melding"_s + (unread == 1 ? u""_s : u"en"_s);
    }
    return look;
}

namespace StatusMenu {

QString notificationsTitle(int unread)
{
    // The same at every count.
    static const QString keys = u"  ("_s + KeyText::display(u"⌘N"_s) + u")"_s;
    if (unread < 1)
        return u"Meldingen"_s + keys;
    return u"Meldingen ("_s + QString::number(unread) + u")"_s + keys;
}

QList<Entry> entries(int unread, const std::optional<HotKeyCombo> &hotKey, const QString &version)
{
    const auto item = [](const QString &title, Action action, const QString &shortcut = {}) {
        Entry entry;
        entry.title = title;
        entry.action = action;
        entry.shortcut = shortcut;
        return entry;
    };
    Entry header = item(u"Quorvane "_s + version, Action::none);
    header.enabled = false;
    Entry separator;
    separator.separator = true;
    return {
        header,
        separator,
        item(hotKey ? u"Paneel openen  ("_s + hotKey->display() + u")"_s : u"Paneel openen"_s,
             Action::toggle),
        item(notificationsTitle(unread), Action::notifications),
        item(u"Opnieuw verbinden"_s, Action::reconnect, KeyText::display(u"⌘R"_s)),
        separator,
        item(u"Instellingen…"_s, Action::settings, KeyText::display(u"⌘,"_s)),
        item(u"Toon logboek"_s, Action::showLog),
        separator,
        item(u"Stop Quorvane"_s, Action::quit, KeyText::display(u"⌘Q"_s)),
    };
}

} // namespace StatusMenu
