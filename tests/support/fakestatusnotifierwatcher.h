#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>

// The watcher of a panel that shows StatusNotifierItems (org.kde.StatusNotifierWatcher), for a private
// session bus, as far as a tray icon uses it: it records the items that register. Its host, the panel,
// is there from the start or comes when the test says. List this header among a test's sources: it
// needs moc.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isStatusNotifierHostRegistered)

public:
    struct Registration {
        // What the item gave as its service, and the connection it came from.
        QString service;
        QString sender;
    };

    // Takes the watcher's name on the bus; false when the bus refuses.
    bool serve(QDBusConnection bus)
    {
        return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this,
                                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties |
                                      QDBusConnection::ExportAllSignals) &&
               bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    }
    // The panel registers as the host, and the watcher tells everyone on the bus.
    void registerHost()
    {
        host = true;
        Q_EMIT StatusNotifierHostRegistered();
    }
    bool isStatusNotifierHostRegistered() const
    {
        ++hostAsked;
        return host;
    }

    bool host = true;
    // How often someone asked whether the host is there.
    mutable int hostAsked = 0;
    QList<Registration> registrations;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        registrations << Registration{service, message.service()};
    }

Q_SIGNALS:
    void StatusNotifierHostRegistered();
};
