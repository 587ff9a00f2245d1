#include "homey/realtime/homeysocket.h"

#include "base/async/settle.h"
#include "base/async/sleep.h"
#include "base/log.h"
#include "homey/realtime/realtimeframes.h"

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QWebSocket>

using namespace Qt::StringLiterals;

namespace {

const QString closedText = u"verbinding gesloten"_s;

HomeyError closed()
{
    return HomeyError::socket(closedText);
}

void logFailure(const QString &where, std::exception_ptr error)
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const HomeyError &e) {
        text = e.errorDescription();
    } catch (const std::exception &e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = u"onbekende fout"_s;
    }
    Log::shared().write(u"!! live-verbinding, "_s + where + u": "_s + text);
}

} // namespace

// Built outside the coroutines: g++ 12 mishandles initializer lists inside them.
QJsonArray HomeySocket::handshakeArguments() const
{
    const QJsonObject credentials{{u"token"_s, m_token}, {u"homeyId"_s, m_endpoint.homeyID}};
    return QJsonArray{credentials};
}

QString HomeySocket::subscribeFrame(qint64 id, const QString &uri) const
{
    return RealtimeFrames::frame(2, m_namespace, id, QJsonArray{u"subscribe"_s, uri});
}

HomeySocket::HomeySocket(HomeyEndpoint endpoint, QString token, RealtimeTiming timing, QObject *parent)
    : QObject(parent), m_endpoint(std::move(endpoint)), m_token(std::move(token)),
      m_timing(withDefaults(std::move(timing))),
      m_ownTransactions(m_timing.now, m_timing.ownTransactionWindow)
{}

RealtimeTiming HomeySocket::withDefaults(RealtimeTiming timing)
{
    const RealtimeTiming standard = RealtimeTiming::standard();
    if (!timing.random)
        timing.random = standard.random;
    if (!timing.sleep)
        timing.sleep = standard.sleep;
    if (!timing.now)
        timing.now = standard.now;
    return timing;
}

HomeySocket::~HomeySocket()
{
    *m_alive = false;
    ++m_epoch;
    m_running = false;
    teardown(true);
}

// --- the owner's side ---

QCoro::Task<std::shared_ptr<HomeySocket::Channel>> HomeySocket::connect(QStringList deviceIDs)
{
    const auto alive = m_alive;
    const quint64 epoch = ++m_epoch;
    // An older reconnection loop must never run a handshake next to this one.
    cancelReconnect();
    if (m_channel)
        teardown(true);
    m_deviceIDs = std::move(deviceIDs);
    m_running = true;
    auto channel = std::make_shared<Channel>(streamCapacity);
    m_channel = channel;

    std::exception_ptr failure;
    try {
        co_await openAndHandshake(epoch);
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        // Only our own stream ends; a newer connect owns everything else.
        channel->finish();
        if (*alive && m_epoch == epoch) {
            m_running = false;
            teardown(true); // the failed attempt's transport goes too
        }
        std::rethrow_exception(failure);
    }
    channel->push(HomeyEvent::Connected{});
    startHealthLoop();
    co_return channel;
}

QCoro::Task<> HomeySocket::disconnect()
{
    ++m_epoch;
    m_running = false;
    teardown(true);
    co_return;
}

QCoro::Task<> HomeySocket::registerOwnTransaction(QString transactionID)
{
    m_ownTransactions.registerOwn(transactionID);
    co_return;
}

// --- connecting ---

void HomeySocket::checkCurrent(quint64 epoch) const
{
    if (m_epoch != epoch)
        throw closed();
}

QCoro::Task<> HomeySocket::openAndHandshake(quint64 epoch)
{
    const auto alive = m_alive;
    teardown(false);
    openTransport();

    co_await expect(WaitKey::open());
    if (!*alive)
        throw closed();
    checkCurrent(epoch);

    OneShot<bool> defaultConnected = expect(WaitKey::connected(u"/"_s));
    send(u"40"_s);
    co_await defaultConnected;
    if (!*alive)
        throw closed();
    checkCurrent(epoch);

    const QByteArray answer = co_await emitWithAck(u"handshakeClient"_s, handshakeArguments(), u"/"_s);
    if (!*alive)
        throw closed();
    checkCurrent(epoch);
    m_namespace = RealtimeFrames::parseHandshake(answer);

    OneShot<bool> namespaceConnected = expect(WaitKey::connected(m_namespace));
    send(u"40"_s + m_namespace + u',');
    co_await namespaceConnected;
    if (!*alive)
        throw closed();
    checkCurrent(epoch);

    co_await subscribeAll(epoch);
}

QCoro::Task<> HomeySocket::subscribeAll(quint64 epoch)
{
    const auto alive = m_alive;
    m_pendingSubscribes.clear();
    m_subscribeOK = 0;
    m_subscribeFail = 0;

    QStringList uris;
    for (const QString &id : std::as_const(m_deviceIDs))
        uris.append(u"homey:device:"_s + id);
    uris << u"homey:manager:devices"_s << u"homey:manager:zones"_s << u"homey:manager:flow"_s
         << u"homey:manager:notifications"_s;
    for (const QString &uri : std::as_const(uris)) {
        const qint64 id = ++m_ackCounter;
        m_pendingSubscribes.insert(id);
        send(subscribeFrame(id, uri));
    }

    const QDeadlineTimer deadline(m_timing.subscribeWindow, Qt::PreciseTimer);
    while (!m_pendingSubscribes.isEmpty() && !deadline.hasExpired()) {
        co_await sleepFor(m_timing.subscribePoll);
        if (!*alive)
            throw closed();
        checkCurrent(epoch);
    }
    if (m_subscribeOK == 0)
        throw HomeyError::socket(u"de Homey accepteerde geen enkele subscription"_s);
}

void HomeySocket::openTransport()
{
    auto *ws = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    ws->setMaxAllowedIncomingMessageSize(maxMessageSize);
    const quint64 generation = ++m_transportGeneration;
    m_ws = ws;
    QObject::connect(ws, &QWebSocket::textMessageReceived, this, [this, generation](const QString &text) {
        if (generation == m_transportGeneration)
            handle(text);
    });
    QObject::connect(ws, &QWebSocket::binaryMessageReceived, this,
                     [this, generation](const QByteArray &bytes) {
                         QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                         const QString text = decoder(bytes);
                         if (generation == m_transportGeneration && !decoder.hasError())
                             handle(text);
                     });
    QObject::connect(ws, &QWebSocket::disconnected, this, [this, generation] { transportLost(generation); });
    QObject::connect(ws, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
                     [this, generation] { transportLost(generation); });
    QNetworkRequest request(m_endpoint.socketURL());
    ws->open(request);
}

void HomeySocket::transportLost(quint64 generation)
{
    if (generation != m_transportGeneration || !m_ws)
        return;
    QString reason;
    if (m_ws->error() != QAbstractSocket::UnknownSocketError)
        reason = m_ws->errorString();
    else if (!m_ws->closeReason().isEmpty())
        reason = m_ws->closeReason();
    else
        reason = u"de Homey sloot de verbinding"_s;
    transportFailed(reason);
}

void HomeySocket::send(const QString &text)
{
    if (!m_ws)
        throw HomeyError::socket(u"geen verbinding"_s);
    if (m_ws->state() != QAbstractSocket::ConnectedState ||
        m_ws->sendTextMessage(text) != text.toUtf8().size()) {
        const QString reason = m_ws->errorString();
        throw HomeyError::socket(reason.isEmpty() ? u"geen verbinding"_s : reason);
    }
}

OneShot<bool> HomeySocket::expect(const WaitKey &key)
{
    const auto previous = m_waiters.find(key);
    if (previous != m_waiters.end()) {
        previous->second.shot.fail(closed());
        m_waiters.erase(previous);
    }
    const quint64 serial = ++m_waiterSerial;
    OneShot<bool> shot;
    m_waiters.emplace(key, Pending<bool>{shot, serial});
    QTimer::singleShot(m_timing.handshakeTimeout, Qt::PreciseTimer, this,
                       [this, key, serial] { expire(key, serial); });
    return shot;
}

QCoro::Task<QByteArray> HomeySocket::emitWithAck(QString event, QJsonArray args, QString nameSpace)
{
    const qint64 id = ++m_ackCounter;
    const quint64 serial = ++m_waiterSerial;
    OneShot<QByteArray> shot;
    m_ackWaiters.emplace(id, Pending<QByteArray>{shot, serial});
    QTimer::singleShot(m_timing.handshakeTimeout, Qt::PreciseTimer, this,
                       [this, id, serial] { expireAck(id, serial); });
    args.prepend(event);
    try {
        send(RealtimeFrames::frame(2, nameSpace, id, args));
    } catch (...) {
        const auto found = m_ackWaiters.find(id);
        if (found != m_ackWaiters.end() && found->second.serial == serial)
            m_ackWaiters.erase(found);
        throw;
    }
    co_return co_await shot;
}

void HomeySocket::expire(const WaitKey &key, quint64 serial)
{
    const auto found = m_waiters.find(key);
    if (found == m_waiters.end() || found->second.serial != serial)
        return;
    OneShot<bool> shot = found->second.shot;
    m_waiters.erase(found);
    shot.fail(HomeyError::socket(u"de Homey reageerde niet op tijd"_s));
}

void HomeySocket::expireAck(qint64 id, quint64 serial)
{
    const auto found = m_ackWaiters.find(id);
    if (found == m_ackWaiters.end() || found->second.serial != serial)
        return;
    OneShot<QByteArray> shot = found->second.shot;
    m_ackWaiters.erase(found);
    shot.fail(HomeyError::socket(u"de Homey antwoordde niet op de handshake"_s));
}

void HomeySocket::failAll(const HomeyError &error)
{
    auto waiters = std::exchange(m_waiters, {});
    auto ackWaiters = std::exchange(m_ackWaiters, {});
    for (auto &[key, pending] : waiters)
        pending.shot.fail(error);
    for (auto &[id, pending] : ackWaiters)
        pending.shot.fail(error);
}

// --- frames ---

void HomeySocket::handle(const QString &frame)
{
    if (frame.isEmpty())
        return;
    switch (frame.at(0).unicode()) {
    case u'0': {
        const auto found = m_waiters.find(WaitKey::open());
        if (found != m_waiters.end()) {
            OneShot<bool> shot = found->second.shot;
            m_waiters.erase(found);
            shot.resolve(true);
        }
        break;
    }
    case u'1':
        transportFailed(u"de Homey sloot de verbinding"_s);
        break;
    case u'2':
        try {
            send(u"3"_s);
        } catch (...) {
            // The health check notices a dead link.
        }
        break;
    case u'4':
        handleSocketIO(frame.mid(1));
        break;
    default:
        break;
    }
}

void HomeySocket::handleSocketIO(const QString &text)
{
    const std::optional<RealtimeFrames::SocketIOPacket> packet = RealtimeFrames::readSocketIO(text);
    if (!packet)
        return;
    switch (packet->type) {
    case 0: {
        const auto found = m_waiters.find(WaitKey::connected(packet->nameSpace));
        if (found != m_waiters.end()) {
            OneShot<bool> shot = found->second.shot;
            m_waiters.erase(found);
            shot.resolve(true);
        }
        break;
    }
    case 1:
        transportFailed(u"de Homey koppelde de verbinding los"_s);
        break;
    case 2:
        handleEvent(packet->data);
        break;
    case 3:
        handleAck(packet->ackID, packet->data);
        break;
    case 4: {
        const QString text = QString::fromUtf8(packet->data);
        failAll(HomeyError::socket(text.isEmpty() ? u"de Homey weigerde de verbinding"_s : text));
        break;
    }
    default:
        break;
    }
}

void HomeySocket::handleAck(std::optional<qint64> id, const QByteArray &payload)
{
    if (!id)
        return;
    if (m_pendingSubscribes.remove(*id)) {
        if (RealtimeFrames::subscriptionAccepted(payload))
            ++m_subscribeOK;
        else
            ++m_subscribeFail;
        return;
    }
    const auto found = m_ackWaiters.find(*id);
    if (found == m_ackWaiters.end())
        return;
    OneShot<QByteArray> shot = found->second.shot;
    m_ackWaiters.erase(found);
    shot.resolve(payload);
}

void HomeySocket::handleEvent(const QByteArray &data)
{
    std::optional<HomeyEvent> event = RealtimeFrames::mapEvent(data);
    if (!event)
        return;
    if (const auto *capability = event->as<HomeyEvent::Capability>()) {
        if (capability->transactionID && m_ownTransactions.isOwn(*capability->transactionID))
            return;
    }
    yield(std::move(*event));
}

void HomeySocket::yield(HomeyEvent event)
{
    if (m_channel)
        m_channel->push(std::move(event));
}

// --- health, loss and reconnection ---

void HomeySocket::transportFailed(const QString &reason)
{
    if (!m_running)
        return;
    yield(HomeyEvent::Disconnected{reason});
    teardown(false);
    scheduleReconnect();
}

void HomeySocket::teardown(bool finishStream)
{
    // Frames of the old transport stop here, before anything is failed or closed.
    ++m_transportGeneration;
    QWebSocket *ws = std::exchange(m_ws, nullptr);
    if (ws)
        ws->disconnect(this);
    if (m_health) {
        m_health->cancel();
        m_health.reset();
    }
    failAll(closed());
    if (ws) {
        ws->close(QWebSocketProtocol::CloseCodeGoingAway);
        ws->deleteLater();
    }
    m_pendingSubscribes.clear();
    m_namespace = u"/"_s;
    if (finishStream) {
        cancelReconnect();
        if (auto channel = std::exchange(m_channel, nullptr))
            channel->finish();
    }
}

void HomeySocket::startHealthLoop()
{
    if (m_health)
        m_health->cancel();
    m_health.emplace();
    healthLoop(QPointer<HomeySocket>(this), *m_health);
}

QCoro::Task<> HomeySocket::healthLoop(QPointer<HomeySocket> self, CancelToken token)
{
    try {
        while (self && !token.isCancelled()) {
            co_await sleepFor(self->m_timing.healthInterval, token);
            if (!self || token.isCancelled())
                co_return;
            QPointer<QWebSocket> ws = self->m_ws;
            if (!self->m_running || !ws || ws->state() != QAbstractSocket::ConnectedState)
                continue;
            const quint64 generation = self->m_transportGeneration;
            const bool answered = co_await ping(ws, self->m_timing.healthTimeout, token);
            // A cancelled loop or a replaced transport has nothing left to judge.
            if (!self || token.isCancelled() || self->m_transportGeneration != generation)
                co_return;
            if (self->m_running && !answered) {
                self->healthCheckFailed();
                co_return;
            }
        }
    } catch (...) {
        logFailure(u"gezondheidscontrole"_s, std::current_exception());
    }
}

void HomeySocket::healthCheckFailed()
{
    yield(HomeyEvent::Disconnected{u"je Homey antwoordt niet meer"_s});
    teardown(false);
    if (m_running && !m_reconnect)
        scheduleReconnect();
}

QCoro::Task<bool> HomeySocket::ping(QPointer<QWebSocket> ws, std::chrono::milliseconds timeout,
                                    CancelToken token)
{
    if (!ws)
        co_return false;
    auto settle = std::make_shared<Settle<bool>>();
    // Every connection below dies with this context, so no late callback outlives the ping.
    auto context = std::make_unique<QObject>();
    QObject::connect(ws, &QWebSocket::pong, context.get(), [settle] { settle->settle(true); });
    QObject::connect(ws, &QWebSocket::disconnected, context.get(), [settle] { settle->settle(false); });
    QObject::connect(ws, &QObject::destroyed, context.get(), [settle] { settle->settle(false); });
    QTimer::singleShot(timeout, Qt::PreciseTimer, context.get(), [settle] { settle->settle(false); });
    const CancelRegistration registration = token.onCancel([settle] { settle->settle(false); });
    ws->ping();
    const bool answered = co_await settle->value();
    co_return answered;
}

void HomeySocket::scheduleReconnect()
{
    if (!m_running || m_reconnect)
        return;
    m_reconnect = Reconnect{CancelToken(), ++m_reconnectSerial};
    reconnectLoop(QPointer<HomeySocket>(this), m_reconnect->token, m_reconnect->id, m_epoch);
}

void HomeySocket::clearReconnect(quint64 id)
{
    if (m_reconnect && m_reconnect->id == id)
        m_reconnect.reset();
}

void HomeySocket::cancelReconnect()
{
    if (m_reconnect) {
        m_reconnect->token.cancel();
        m_reconnect.reset();
    }
}

QCoro::Task<> HomeySocket::reconnectLoop(QPointer<HomeySocket> self, CancelToken token, quint64 id,
                                         quint64 epoch)
{
    try {
        if (!self || token.isCancelled())
            co_return;
        int attempt = 1;
        std::chrono::milliseconds pause = RealtimeTiming::backoff(attempt, self->m_timing.random());
        for (;;) {
            if (!self->m_running) {
                self->clearReconnect(id);
                co_return;
            }
            co_await self->m_timing.sleep(pause, token);
            if (!self || token.isCancelled())
                co_return;
            if (!self->m_running) {
                self->clearReconnect(id);
                co_return;
            }

            std::exception_ptr failure;
            bool refused = false;
            try {
                co_await self->openAndHandshake(epoch);
            } catch (const HomeyError &error) {
                refused = error.kind() == HomeyError::Kind::unauthorized;
                failure = std::current_exception();
            } catch (...) {
                failure = std::current_exception();
            }
            // A superseded loop makes no further move.
            if (!self || token.isCancelled())
                co_return;

            if (!failure) {
                self->clearReconnect(id);
                self->startHealthLoop();
                self->yield(HomeyEvent::Connected{});
                co_return;
            }
            if (refused) {
                self->yield(HomeyEvent::Disconnected{u"de Homey accepteert dit token niet meer"_s});
                self->m_running = false;
                self->clearReconnect(id);
                self->teardown(true); // the refused attempt's transport goes too
                co_return;
            }
            ++attempt;
            pause = RealtimeTiming::backoff(attempt, self->m_timing.random());
        }
    } catch (...) {
        logFailure(u"opnieuw verbinden"_s, std::current_exception());
    }
}
