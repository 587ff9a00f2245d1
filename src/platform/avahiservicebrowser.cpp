#include "platform/avahiservicebrowser.h"

#include "platform/avahibrowsesession.h"
#include "platform/avahireply.h"

#include <memory>
#include <QCoroDBusPendingCall>
#include <QCoroTimer>
#include <QDBusMessage>

using namespace Qt::StringLiterals;

namespace {
constexpr int anyInterface = -1;
constexpr int anyProtocol = -1;
constexpr int protocolIPv4 = 0; // AVAHI_PROTO_INET
} // namespace

AvahiServiceBrowser::AvahiServiceBrowser(QDBusConnection bus, std::chrono::milliseconds callTimeout)
    : m_bus(std::move(bus)), m_callTimeout(callTimeout)
{}

QCoro::Task<QList<BrowseEntry>> AvahiServiceBrowser::browse(QString type, std::chrono::milliseconds duration)
{
    // Nothing of `this` is used after the first suspension: the browser may go while a browse runs.
    auto session = std::make_unique<AvahiBrowseSession>(m_bus, m_callTimeout);
    const bool started = co_await session->start(type);
    if (!started)
        co_return {};
    if (duration.count() > 0)
        co_await QCoro::sleepFor(duration);
    co_await session->finish();
    co_return session->entries();
}

QCoro::Task<std::optional<QString>> AvahiServiceBrowser::resolveIPv4(QString name, QString type,
                                                                     QString domain,
                                                                     std::chrono::milliseconds timeout)
{
    QDBusConnection bus = m_bus;
    if (!bus.isConnected() || timeout.count() <= 0)
        co_return std::nullopt;
    QDBusMessage resolve = QDBusMessage::createMethodCall(
        u"org.freedesktop.Avahi"_s, u"/"_s, u"org.freedesktop.Avahi.Server"_s, u"ResolveService"_s);
    resolve << anyInterface << anyProtocol << name << type << domain << protocolIPv4 << uint(0);
    const QDBusPendingCall pending = bus.asyncCall(resolve, int(timeout.count()));
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != "iissssisqaayu"_L1)
        co_return std::nullopt;
    co_return AvahiReply::ipv4(reply.arguments().at(7).toString());
}
