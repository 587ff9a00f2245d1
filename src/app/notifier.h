#pragma once

#include "homey/model/homeynotification.h"
#include "ports/bannerservice.h"
#include "store/notifications/notificationfeed.h"

#include <functional>
#include <memory>
#include <QObject>

// Mirrors new items of the notification feed as desktop banners, as far as the desktop lets it, and
// reports a click on one of them.
class Notifier : public QObject {
    Q_OBJECT
    Q_PROPERTY(PermissionKind permissionKind READ permissionKind NOTIFY permissionChanged)
    Q_PROPERTY(QString unavailableReason READ unavailableReason NOTIFY permissionChanged)

public:
    // unavailable: no banners in this run at all (no session bus); unknown: not determined yet;
    // granted: a notification server is there; denied: none is.
    enum class PermissionKind { Unavailable, Unknown, Granted, Denied };
    Q_ENUM(PermissionKind)

    explicit Notifier(std::shared_ptr<BannerService> service, QObject *parent = nullptr);
    ~Notifier() override;

    bool isAvailable() const;
    PermissionKind permissionKind() const { return m_permission; }
    // Why banners are unavailable, in Dutch; empty otherwise.
    QString unavailableReason() const { return m_reason; }

    // What a click on one of our banners does; nothing until set.
    void setOnOpen(std::function<void()> onOpen);

    // Offers one item for a banner: shown while granted, dropped otherwise.
    void show(const HomeyNotification &item, bool timeSensitive);
    // The feed's push: show() on this notifier while it lives.
    NotificationFeed::Push push();
    // Asks the desktop again whether a notification server is there.
    void refreshPermission();
    // Takes down every banner of ours still on screen.
    void removeAllDelivered();

    // The banner for an item; the icon is left out.
    static BannerService::Banner bannerFor(const HomeyNotification &item, bool timeSensitive);
    // "passief", "actief", "tijdgevoelig", "kritiek".
    static QString levelWord(BannerService::Level level);

Q_SIGNALS:
    void permissionChanged();

private:
    void setPermission(PermissionKind permission);
    void deliver(const HomeyNotification &item, bool timeSensitive);
    void opened();

    std::shared_ptr<BannerService> m_service;
    PermissionKind m_permission = PermissionKind::Unknown;
    QString m_reason;
    std::function<void()> m_onOpen;
};
