#pragma once

#include "ports/desktopsettings.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>

// The desktop's settings through the settings portal (org.freedesktop.portal.Settings) on the session bus.
class PortalDesktopSettings final : public QObject, public DesktopSettings {
    Q_OBJECT

public:
    explicit PortalDesktopSettings(QDBusConnection bus = QDBusConnection::sessionBus(),
                                   QObject *parent = nullptr);

    void watch(QList<Key> keys, OnValue onValue) override;

    // The value inside the one or two variants the portal wraps a setting in, depending on its version.
    static QVariant unwrap(QVariant value);

private Q_SLOTS:
    void onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    QDBusConnection m_bus;
    OnValue m_onValue;
};
