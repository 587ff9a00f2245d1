#include "platform/avahibrowsesession.h"

#include "platform/avahireply.h"

#include <QCoroDBusPendingCall>
#include <QCoroSignal>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

using namespace Qt::StringLiterals;

namespace {

const QString avahiService = u"org.freedesktop.Avahi"_s;
const QString browserInterface = u"org.freedesktop.Avahi.ServiceBrowser"_s;
constexpr int anyInterface = -1;
constexpr int anyProtocol = -1;
constexpr uint lookupNoAddress = 8; // AVAHI_LOOKUP_NO_ADDRESS: the TXT record is all we read here

QDBusMessage serverCall(const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(avahiService, u"/"_s, interface, method);
}

bool isReply(const QDBusMessage &message, QLatin1StringView signature)
{
    return message.type() == QDBusMessage::ReplyMessage && message.signature() == signature;
}

QList<QByteArray> byteArrays(const QVariant &value)
{
    QList<QByteArray> list;
    if (!value.canConvert<QDBusArgument>())
        return list;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != "aay"_L1)
        return list;
    argument.beginArray();
    while (!argument.atEnd()) {
        QByteArray bytes;
        argument >> bytes;
        list.append(bytes);
    }
    argument.endArray();
    return list;
}

} // namespace

AvahiBrowseSession::AvahiBrowseSession(QDBusConnection bus, std::chrono::milliseconds callTimeout)
    : m_bus(std::move(bus)), m_callTimeout(std::max(callTimeout, std::chrono::milliseconds(1)))
{}

AvahiBrowseSession::~AvahiBrowseSession()
{
    if (m_subscribed)
        m_bus.disconnect(avahiService, QString(), browserInterface, u"ItemNew"_s, this,
                         SLOT(onItemNew(QDBusMessage)));
    if (!m_path.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(avahiService, m_path, browserInterface, u"Free"_s));
}

QCoro::Task<QDBusMessage> AvahiBrowseSession::call(QDBusMessage message) const
{
    const QDBusPendingCall pending = m_bus.asyncCall(message, int(m_callTimeout.count()));
    co_return co_await pending;
}

QCoro::Task<bool> AvahiBrowseSession::start(QString type)
{
    if (!m_bus.isConnected())
        co_return false;
    // Subscribed before the browser exists: the daemon may report before its reply names the browser.
    m_subscribed = m_bus.connect(avahiService, QString(), browserInterface, u"ItemNew"_s, this,
                                 SLOT(onItemNew(QDBusMessage)));
    if (!m_subscribed)
        co_return false;

    // Daemons from 0.8 on create a browser that stays silent until started; older ones start at once.
    QDBusMessage prepare = serverCall(u"org.freedesktop.Avahi.Server2"_s, u"ServiceBrowserPrepare"_s);
    prepare << anyInterface << anyProtocol << type << QString() << uint(0);
    QDBusMessage reply = co_await call(prepare);
    bool mustStart = true;
    if (reply.type() == QDBusMessage::ErrorMessage &&
        (reply.errorName() == "org.freedesktop.DBus.Error.UnknownMethod"_L1 ||
         reply.errorName() == "org.freedesktop.DBus.Error.UnknownInterface"_L1)) {
        QDBusMessage create = serverCall(u"org.freedesktop.Avahi.Server"_s, u"ServiceBrowserNew"_s);
        create << anyInterface << anyProtocol << type << QString() << uint(0);
        reply = co_await call(create);
        mustStart = false;
    }
    if (!isReply(reply, "o"_L1))
        co_return false;
    m_path = reply.arguments().constFirst().value<QDBusObjectPath>().path();

    const QList<QDBusMessage> early = std::exchange(m_early, {});
    for (const QDBusMessage &message : early)
        record(message);
    if (mustStart) {
        const QDBusMessage started =
            co_await call(QDBusMessage::createMethodCall(avahiService, m_path, browserInterface, u"Start"_s));
        if (started.type() != QDBusMessage::ReplyMessage)
            co_return false;
    }
    co_return true;
}

QCoro::Task<> AvahiBrowseSession::finish()
{
    m_closed = true;
    if (m_reading > 0)
        co_await qCoro(this, &AvahiBrowseSession::readsSettled, m_callTimeout);
}

QList<BrowseEntry> AvahiBrowseSession::entries() const
{
    QList<BrowseEntry> list;
    list.reserve(m_found.size());
    for (const Found &found : m_found)
        list.append(found.entry);
    return list;
}

void AvahiBrowseSession::onItemNew(const QDBusMessage &message)
{
    if (m_closed)
        return;
    if (m_path.isEmpty())
        m_early.append(message);
    else
        record(message);
}

void AvahiBrowseSession::record(const QDBusMessage &message)
{
    if (message.path() != m_path || message.signature() != "iisssu"_L1)
        return;
    const QVariantList args = message.arguments();
    const int interface = args.at(0).toInt();
    const int protocol = args.at(1).toInt();
    const QString name = args.at(2).toString();
    const quint64 sequence = ++m_sequence;

    auto at = m_index.constFind(name);
    if (at == m_index.constEnd()) {
        at = m_index.insert(name, m_found.size());
        m_found.append(Found{});
    }
    Found &found = m_found[*at];
    // A service reported again (another interface or protocol) keeps its TXT record until the new one is
    // read.
    found.entry.name = name;
    found.entry.type = args.at(3).toString();
    found.entry.domain = args.at(4).toString();
    found.latest = sequence;
    readTxt(interface, protocol, name, sequence);
}

void AvahiBrowseSession::readTxt(int interface, int protocol, const QString &name, quint64 sequence)
{
    const Found &found = m_found.at(m_index.value(name));
    QDBusMessage resolve = serverCall(u"org.freedesktop.Avahi.Server"_s, u"ResolveService"_s);
    resolve << interface << protocol << name << found.entry.type << found.entry.domain << anyProtocol
            << lookupNoAddress;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(resolve, int(m_callTimeout.count())), this);
    ++m_reading;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, name, sequence](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusMessage reply = w->reply();
                if (isReply(reply, "iissssisqaayu"_L1)) {
                    Found &found = m_found[m_index.value(name)];
                    if (sequence >= found.txtFrom) {
                        found.entry.txt = AvahiReply::txt(byteArrays(reply.arguments().at(9)));
                        found.txtFrom = sequence;
                    }
                }
                if (--m_reading == 0)
                    Q_EMIT readsSettled();
            });
}
