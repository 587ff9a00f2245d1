#include "stalledsecretservice.h"

#include <QDBusArgument>

using namespace Qt::StringLiterals;

namespace {
const QString serviceName = u"org.freedesktop.secrets"_s;
const QString servicePath = u"/org/freedesktop/secrets"_s;

QDBusMessage failure(const QDBusMessage &call)
{
    return call.createErrorReply(u"org.freedesktop.DBus.Error.Failed"_s, u"stalled test service"_s);
}
} // namespace

StalledSecretService::StalledSecretService(QDBusConnection bus) : m_bus(std::move(bus))
{
    m_registered = m_bus.registerVirtualObject(servicePath, this, QDBusConnection::SubPath) &&
                   m_bus.registerService(serviceName);
}

StalledSecretService::~StalledSecretService()
{
    release();
    m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(servicePath, QDBusConnection::UnregisterTree);
}

void StalledSecretService::release()
{
    m_released = true;
    for (const QDBusMessage &call : std::exchange(m_held, {}))
        m_bus.send(failure(call));
}

QString StalledSecretService::introspect(const QString &) const
{
    return QString();
}

bool StalledSecretService::handleMessage(const QDBusMessage &message, const QDBusConnection &)
{
    if (message.member() == u"SearchItems"_s && message.signature() == u"a{ss}"_s)
        m_searched << qdbus_cast<QMap<QString, QString>>(message.arguments().constFirst()).value(u"server"_s);
    if (m_released)
        m_bus.send(failure(message));
    else
        m_held.append(message);
    return true;
}
