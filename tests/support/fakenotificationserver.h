#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A notification server (org.freedesktop.Notifications) for a private session bus, recording what it is
// asked. List this header among a test's sources: it needs moc.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString app;
        uint replaces = 0;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };

    static inline const QString name = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString path = QStringLiteral("/org/freedesktop/Notifications");

    // Takes the server's name on the bus; false when the bus refuses.
    bool serve(QDBusConnection bus)
    {
        m_bus = bus;
        return bus.registerObject(path, this, QDBusConnection::ExportAllSlots) && bus.registerService(name);
    }
    QDBusConnection bus() const { return m_bus; }

    // The server's signals: "ActionInvoked" (id, action key), "NotificationClosed" (id, reason).
    bool emitSignal(const QString &signal, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createSignal(path, name, signal);
        message.setArguments(arguments);
        return m_bus.send(message);
    }

    QList<Call> calls;
    QList<uint> closed;
    uint lastID = 100;
    QStringList capabilities{QStringLiteral("body"), QStringLiteral("actions")};

public Q_SLOTS:
    uint Notify(const QString &app, uint replaces, const QString &, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int)
    {
        calls << Call{app, replaces, summary, body, actions, hints};
        return replaces ? replaces : ++lastID;
    }
    void CloseNotification(uint id) { closed << id; }
    QStringList GetCapabilities() { return capabilities; }

private:
    QDBusConnection m_bus{QStringLiteral("unused")};
};
