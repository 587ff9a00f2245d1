#pragma once

#include "ports/bannerservice.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

class QDBusServiceWatcher;

// Banners through the desktop's notification server (org.freedesktop.Notifications) on the session bus.
// Every call is asynchronous: a slow or stalled server never holds up the application.
class FreedesktopBannerService final : public QObject, public BannerService {
    Q_OBJECT

public:
    explicit FreedesktopBannerService(QDBusConnection bus = QDBusConnection::sessionBus(),
                                      QObject *parent = nullptr);
    ~FreedesktopBannerService() override;

    bool hasBus() const override;
    bool hasServer() const override;
    void setHandlers(Handlers handlers) override;
    void post(const Banner &banner, Done done) override;
    void closeAll() override;

private Q_SLOTS:
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private:
    void askCapabilities(std::function<void()> then);
    void send(const Banner &banner, Done done);

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_watcher = nullptr;
    Handlers m_handlers;
    // The server's ids of our banners on screen, by feed item id. Other programs' banners are not ours.
    QHash<QString, uint> m_shown;
    // Whether the server reads the body as markup; asked before the first banner.
    std::optional<bool> m_markup;
};
