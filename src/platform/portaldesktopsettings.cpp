#include "platform/portaldesktopsettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.freedesktop.portal.Desktop"_s;
const QString path = u"/org/freedesktop/portal/desktop"_s;
const QString interface = u"org.freedesktop.portal.Settings"_s;

} // namespace

PortalDesktopSettings::PortalDesktopSettings(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{}

void PortalDesktopSettings::watch(QList<Key> keys, OnValue onValue)
{
    m_onValue = std::move(onValue);
    if (!m_bus.isConnected())
        return;
    m_bus.connect(service, path, interface, u"SettingChanged"_s, this,
                  SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    for (const Key &setting : keys) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, u"Read"_s);
        call << setting.group << setting.key;
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, setting](QDBusPendingCallWatcher *w) {
                    w->deleteLater();
                    const QDBusPendingReply<QDBusVariant> reply = *w;
                    if (reply.isError() || !m_onValue)
                        return;
                    m_onValue(setting.group, setting.key, unwrap(reply.value().variant()));
                });
    }
}

QVariant PortalDesktopSettings::unwrap(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

void PortalDesktopSettings::onSettingChanged(const QString &group, const QString &key,
                                             const QDBusVariant &value)
{
    if (m_onValue)
        m_onValue(group, key, unwrap(value.variant()));
}
