#pragma once

#include <optional>
#include <QString>

// The icons shown inside banners: a symbol on a dark rounded tile, amber, with a ring for urgent items.
// Drawn once per symbol and urgency into the cache folder, and reused from there.
namespace NotificationIcons {

// $XDG_CACHE_HOME/Quorvane/notification-icons
QString folder();
// The PNG file for a symbol of the catalogue; nullopt for a name the catalogue lacks or a file that
// could not be written.
std::optional<QString> file(const QString &symbol, bool urgent);

} // namespace NotificationIcons
