#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QList>
#include <QStringList>

// Owns the Secret Service's bus name and answers nothing, like a keyring waiting on an unlock prompt,
// until released; after that every call fails at once.
class StalledSecretService : public QDBusVirtualObject {
    Q_OBJECT
public:
    explicit StalledSecretService(QDBusConnection bus);
    ~StalledSecretService() override;

    bool registered() const { return m_registered; }
    qsizetype heldCalls() const { return m_held.size(); }
    // The keyring services (QtKeychain's "server" attribute) that item searches asked about, in call
    // order: lookups and removals search first, so this shows which of them reached the service.
    QStringList searchedServices() const { return m_searched; }
    void release();

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    QDBusConnection m_bus;
    QList<QDBusMessage> m_held;
    QStringList m_searched;
    bool m_registered = false;
    bool m_released = false;
};
