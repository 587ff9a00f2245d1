#include "platform/freedesktopbannerservice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.freedesktop.Notifications"_s;
const QString path = u"/org/freedesktop/Notifications"_s;
const QString interface = u"org.freedesktop.Notifications"_s;

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(service, path, interface, method);
}

// The freedesktop urgency hint: 0 low, 1 normal, 2 critical.
uchar urgency(BannerService::Level level)
{
    switch (level) {
    case BannerService::Level::passive:
        return 0;
    case BannerService::Level::active:
        return 1;
    case BannerService::Level::timeSensitive:
    case BannerService::Level::critical:
        return 2;
    }
    return 1;
}

} // namespace

FreedesktopBannerService::FreedesktopBannerService(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_watcher = new QDBusServiceWatcher(
        service, m_bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        // Another server may read markup differently.
        m_markup.reset();
        if (m_handlers.serverChanged)
            m_handlers.serverChanged(true);
    });
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        // The server's ids die with it.
        m_shown.clear();
        m_markup.reset();
        if (m_handlers.serverChanged)
            m_handlers.serverChanged(hasServer());
    });
    m_bus.connect(service, path, interface, u"ActionInvoked"_s, this, SLOT(actionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, u"NotificationClosed"_s, this,
                  SLOT(notificationClosed(uint, uint)));
}

FreedesktopBannerService::~FreedesktopBannerService() = default;

bool FreedesktopBannerService::hasBus() const
{
    return m_bus.isConnected();
}

bool FreedesktopBannerService::hasServer() const
{
    if (!m_bus.isConnected())
        return false;
    QDBusConnectionInterface *bus = m_bus.interface();
    if (bus->isServiceRegistered(service))
        return true;
    // A server the bus starts on the first banner counts as there.
    const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

void FreedesktopBannerService::setHandlers(Handlers handlers)
{
    m_handlers = std::move(handlers);
}

void FreedesktopBannerService::askCapabilities(std::function<void()> then)
{
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call(u"GetCapabilities"_s)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, then = std::move(then)](QDBusPendingCallWatcher *w) {
                const QDBusPendingReply<QStringList> reply = *w;
                w->deleteLater();
                // A server that does not say reads none.
                m_markup = reply.isValid() && reply.value().contains(u"body-markup"_s);
                if (then)
                    then();
            });
}

void FreedesktopBannerService::post(const Banner &banner, Done done)
{
    // Whether the body is read as markup decides how it is written: ask the server first.
    if (!m_markup) {
        askCapabilities([this, banner, done = std::move(done)]() mutable { send(banner, std::move(done)); });
        return;
    }
    send(banner, std::move(done));
}

void FreedesktopBannerService::send(const Banner &banner, Done done)
{
    QString body = banner.subtitle ? *banner.subtitle + u'\n' + banner.body : banner.body;
    // Hub texts are plain: "<" or "&" in them must not be read as markup by a server that reads it.
    if (*m_markup)
        body = body.toHtmlEscaped();
    QVariantMap hints;
    hints.insert(u"urgency"_s, QVariant::fromValue(urgency(banner.level)));
    if (banner.sound)
        hints.insert(u"sound-name"_s, u"dialog-warning"_s);
    else
        hints.insert(u"suppress-sound"_s, true);
    if (!banner.iconPath.isEmpty())
        hints.insert(u"image-path"_s, QUrl::fromLocalFile(banner.iconPath).toString());
    hints.insert(u"category"_s, u"x-quorvane."_s + banner.thread);

    QDBusMessage notify = call(u"Notify"_s);
    notify << u"Quorvane"_s << m_shown.value(banner.id, 0u) << QString() << banner.title << body
           << QStringList{u"default"_s, u"Openen"_s} << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    const QString id = banner.id;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id, done = std::move(done)](QDBusPendingCallWatcher *w) {
                const QDBusPendingReply<uint> reply = *w;
                w->deleteLater();
                if (reply.isError()) {
                    if (done)
                        done(reply.error().message());
                    return;
                }
                m_shown.insert(id, reply.value());
                if (done)
                    done(std::nullopt);
            });
}

void FreedesktopBannerService::closeAll()
{
    for (const uint id : std::as_const(m_shown)) {
        QDBusMessage close = call(u"CloseNotification"_s);
        close << id;
        m_bus.asyncCall(close);
    }
    m_shown.clear();
}

void FreedesktopBannerService::actionInvoked(uint id, const QString &)
{
    // Every program's banners raise this signal; only a click on one of ours opens the panel.
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it) {
        if (it.value() == id) {
            if (m_handlers.activated)
                m_handlers.activated();
            return;
        }
    }
}

void FreedesktopBannerService::notificationClosed(uint id, uint)
{
    for (auto it = m_shown.begin(); it != m_shown.end(); ++it) {
        if (it.value() == id) {
            m_shown.erase(it);
            return;
        }
    }
}
