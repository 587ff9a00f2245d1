#include "app/notifier.h"

#include "app/notificationicons.h"
#include "base/log.h"

#include <QPointer>

using namespace Qt::StringLiterals;

Notifier::Notifier(std::shared_ptr<BannerService> service, QObject *parent)
    : QObject(parent), m_service(std::move(service))
{
    if (!m_service->hasBus()) {
        m_reason = u"Quorvane heeft geen verbinding met de sessiebus (D-Bus). "
                   u"De desktop levert dan geen meldingen."_s;
        m_permission = PermissionKind::Unavailable;
        log(u"!! meldingen: "_s + m_reason);
        return;
    }
    QPointer<Notifier> self(this);
    m_service->setHandlers({
        [self] {
            if (self)
                self->opened();
        },
        [self](bool present) {
            if (self)
                self->setPermission(present ? PermissionKind::Granted : PermissionKind::Denied);
        },
    });
    refreshPermission();
    if (m_permission == PermissionKind::Denied)
        log(u"!! meldingen: geen meldingendienst (org.freedesktop.Notifications) op de sessiebus, "
            u"geen banners tot er een is"_s);
}

Notifier::~Notifier()
{
    if (isAvailable())
        m_service->setHandlers({});
}

bool Notifier::isAvailable() const
{
    return m_permission != PermissionKind::Unavailable;
}

void Notifier::setOnOpen(std::function<void()> onOpen)
{
    m_onOpen = std::move(onOpen);
}

void Notifier::setPermission(PermissionKind permission)
{
    if (m_permission == permission || !isAvailable())
        return;
    const bool settled = m_permission != PermissionKind::Unknown;
    m_permission = permission;
    if (settled)
        log(permission == PermissionKind::Granted
                ? u"meldingen: meldingendienst verschenen, banners aan"_s
                : u"!! meldingen: meldingendienst verdwenen, banners uit"_s);
    Q_EMIT permissionChanged();
}

void Notifier::refreshPermission()
{
    if (!isAvailable())
        return;
    setPermission(m_service->hasServer() ? PermissionKind::Granted : PermissionKind::Denied);
}

void Notifier::show(const HomeyNotification &item, bool timeSensitive)
{
    if (m_permission == PermissionKind::Granted)
        deliver(item, timeSensitive);
}

NotificationFeed::Push Notifier::push()
{
    QPointer<Notifier> self(this);
    return [self](const HomeyNotification &item, bool timeSensitive) {
        if (self)
            self->show(item, timeSensitive);
    };
}

void Notifier::removeAllDelivered()
{
    if (isAvailable())
        m_service->closeAll();
}

BannerService::Banner Notifier::bannerFor(const HomeyNotification &item, bool timeSensitive)
{
    using Level = BannerService::Level;
    BannerService::Banner banner;
    banner.id = item.id;
    banner.title = item.title;
    if (item.subtitle && !item.subtitle->isEmpty())
        banner.subtitle = item.subtitle;
    banner.body = item.body;
    switch (item.urgency()) {
    case HomeyNotification::Urgency::quiet:
        banner.level = Level::passive;
        break;
    case HomeyNotification::Urgency::normal:
        banner.level = Level::active;
        break;
    case HomeyNotification::Urgency::urgent:
        banner.level = timeSensitive ? Level::timeSensitive : Level::active;
        banner.sound = true;
        break;
    }
    banner.thread = item.source.raw();
    return banner;
}

QString Notifier::levelWord(BannerService::Level level)
{
    switch (level) {
    case BannerService::Level::passive:
        return u"passief"_s;
    case BannerService::Level::active:
        return u"actief"_s;
    case BannerService::Level::timeSensitive:
        return u"tijdgevoelig"_s;
    case BannerService::Level::critical:
        return u"kritiek"_s;
    }
    return u"onbekend"_s;
}

void Notifier::deliver(const HomeyNotification &item, bool timeSensitive)
{
    BannerService::Banner banner = bannerFor(item, timeSensitive);
    // Icon trouble never stops a banner: it goes out without one.
    const bool urgent = item.urgency() == HomeyNotification::Urgency::urgent;
    banner.iconPath = NotificationIcons::file(item.symbol, urgent).value_or(QString());
    const QString title = item.title;
    m_service->post(banner, [title](const std::optional<QString> &error) {
        if (error)
            log(u"!! meldingen: "_s + title + u" kon niet getoond worden: "_s + *error);
    });
    log(u"meldingen: banner \""_s + item.title + u"\" · "_s + item.subtitle.value_or(u"-"_s) + u" · "_s +
        item.body + u" ["_s + item.source.raw() + u", niveau "_s + levelWord(banner.level) + u"]"_s);
}

void Notifier::opened()
{
    log(u"meldingen: gebruiker klikte op een banner, paneel openen"_s);
    if (m_onOpen)
        m_onOpen();
}
