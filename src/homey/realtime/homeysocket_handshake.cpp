// HomeySocket: opening a transport, the handshake and the subscriptions.
#include "homey/realtime/homeysocket.h"
#include "homey/realtime/realtimeframes.h"
#include "homey/realtime/socketlink.h"

#include <QJsonObject>
#include <QUrl>

using namespace Qt::StringLiterals;

using WaitKey = SocketWaiters::WaitKey;

QCoro::Task<> HomeySocket::openAndHandshake(Weak weak, quint64 epoch)
{
    OneShot<bool> opened;
    {
        HomeySocket &self = current(weak, epoch);
        self.teardown(false);
        self.openTransport();
        opened = self.m_waiters.expect(WaitKey::open());
    }
    co_await opened;

    OneShot<bool> connected = current(weak, epoch).connectNamespace(u"/"_s, u"40"_s);
    co_await connected;

    OneShot<QByteArray> acknowledged;
    {
        HomeySocket &self = current(weak, epoch);
        acknowledged = self.emitWithAck(u"handshakeClient"_s, self.handshakeArguments(), u"/"_s);
    }
    const QByteArray answer = co_await acknowledged;

    {
        HomeySocket &self = current(weak, epoch);
        self.m_namespace = RealtimeFrames::parseHandshake(answer);
        // The comma is sent also for "/".
        connected = self.connectNamespace(self.m_namespace, u"40"_s + self.m_namespace + u',');
    }
    co_await connected;

    co_await subscribeAll(weak, epoch);
}

QCoro::Task<> HomeySocket::subscribeAll(Weak weak, quint64 epoch)
{
    const OneShot<bool> answered = current(weak, epoch).sendSubscriptions();
    co_await answered;
    if (current(weak, epoch).m_waiters.subscribeOK() == 0)
        throw HomeyError::socket(u"de Homey accepteerde geen enkele subscription"_s);
}

OneShot<bool> HomeySocket::sendSubscriptions()
{
    m_waiters.beginSubscriptions();
    QStringList uris;
    for (const QString &id : std::as_const(m_deviceIDs))
        uris.append(u"homey:device:"_s + id);
    uris << u"homey:manager:devices"_s << u"homey:manager:zones"_s << u"homey:manager:flow"_s
         << u"homey:manager:notifications"_s;
    for (const QString &uri : std::as_const(uris)) {
        const qint64 id = ++m_ackCounter;
        m_waiters.addSubscription(id);
        send(RealtimeFrames::frame(2, m_namespace, id, QJsonArray{u"subscribe"_s, uri}));
    }
    return m_waiters.subscriptionsAnswered(m_timing.subscribeWindow);
}

void HomeySocket::openTransport()
{
    ++m_transportGeneration;
    // The link calls these only until it is closed, and teardown closes it before the socket goes.
    m_link = new SocketLink([this](const RealtimeFrames::InboundFrame &frame) { handle(frame); },
                            [this](const QString &reason) { transportFailed(reason); });
    if (m_inBackground)
        m_link->setGathering(backgroundGathering);
    m_link->open(m_endpoint.socketURL());
}

void HomeySocket::send(const QString &text)
{
    if (!m_link)
        throw HomeyError::socket(u"geen verbinding"_s);
    m_link->send(text);
}

OneShot<bool> HomeySocket::connectNamespace(const QString &nameSpace, const QString &frame)
{
    OneShot<bool> shot = m_waiters.expect(WaitKey::connected(nameSpace));
    send(frame);
    return shot;
}

OneShot<QByteArray> HomeySocket::emitWithAck(const QString &event, QJsonArray args, const QString &nameSpace)
{
    const qint64 id = ++m_ackCounter;
    OneShot<QByteArray> shot = m_waiters.expectAck(id);
    args.prepend(event);
    try {
        send(RealtimeFrames::frame(2, nameSpace, id, args));
    } catch (...) {
        m_waiters.forgetAck(id);
        throw;
    }
    return shot;
}

// Built outside the coroutines: g++ 12 mishandles initializer lists inside them.
QJsonArray HomeySocket::handshakeArguments() const
{
    const QJsonObject credentials{{u"token"_s, m_token}, {u"homeyId"_s, m_endpoint.homeyID}};
    return QJsonArray{credentials};
}
