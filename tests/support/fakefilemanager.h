#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

// A file manager (org.freedesktop.FileManager1) for a private session bus, recording the files it is
// asked to show. List this header among a test's sources: it needs moc.
class FakeFileManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    static inline const QString name = QStringLiteral("org.freedesktop.FileManager1");
    static inline const QString path = QStringLiteral("/org/freedesktop/FileManager1");

    // Takes the file manager's name on the bus; false when the bus refuses.
    bool serve(QDBusConnection bus)
    {
        m_bus = bus;
        return bus.registerObject(path, this, QDBusConnection::ExportAllSlots) && bus.registerService(name);
    }
    QDBusConnection bus() const { return m_bus; }

    // Each ShowItems call: its URIs, then its startup id.
    QList<QStringList> shown;
    // Answers every call with an error, as a file manager that cannot show the file does.
    bool failing = false;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupID)
    {
        shown << uris + QStringList{startupID};
        if (failing)
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show that"));
    }

private:
    QDBusConnection m_bus{QStringLiteral("unused")};
};
