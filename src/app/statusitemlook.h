#pragma once

#include "app/hotkeycombo.h"
#include "homey/model/connectionstate.h"

#include <optional>
#include <QList>
#include <QString>

// What the tray icon shows for a connection state, an unread count and the hot key: the symbol, its
// opacity, the count drawn on it and the tooltip. Pure, so every text can be checked without a tray.
// Where the desktop allows no global hot key there is none to name.
struct StatusItemLook {
    static constexpr int maximumBadge = 99;

    QString symbol;
    double opacity = 1.0;
    // The unread count drawn on the icon, at most 99; empty for none.
    QString badge;
    QString tooltip;

    static StatusItemLook of(const ConnectionState &state, int unread,
                             const std::optional<HotKeyCombo> &hotKey);
    // This look, made without a count, with the count added: of(state, unread, hotKey) is
    // of(state, 0, hotKey).counted(unread). A new count needs no state or hot key texts made again.
    StatusItemLook counted(int unread) const;

    bool operator==(const StatusItemLook &) const = default;
};

// The tray icon's menu, entry by entry.
namespace StatusMenu {

enum class Action { none, toggle, notifications, reconnect, settings, showLog, quit };

struct Entry {
    QString title;
    Action action = Action::none;
    // The key shown beside the title, the Linux way ("Ctrl+R"); empty for none.
    QString shortcut;
    bool separator = false;
    bool enabled = true;

    bool operator==(const Entry &) const = default;
};

QList<Entry> entries(int unread, const std::optional<HotKeyCombo> &hotKey, const QString &version);
// The notifications entry: its count is the real one, not capped.
QString notificationsTitle(int unread);

} // namespace StatusMenu
