#include "homey/realtime/homeysocket.h"

#include "homey/realtime/socketlink.h"
#include "homey/realtime/socketlinkworker.h"

#include <utility>

using namespace Qt::StringLiterals;

HomeySocket::HomeySocket(HomeyEndpoint endpoint, QString token, RealtimeTiming timing)
    : m_endpoint(std::move(endpoint)), m_token(std::move(token)), m_timing(withDefaults(std::move(timing))),
      m_waiters(m_timing.handshakeTimeout), m_ownTransactions(m_timing.now, m_timing.ownTransactionWindow)
{}

HomeySocket::~HomeySocket()
{
    m_self.reset();
    ++m_epoch;
    m_running = false;
    teardown(true);
}

HomeyError HomeySocket::closed()
{
    return HomeyError::socket(u"verbinding gesloten"_s);
}

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

HomeySocket &HomeySocket::current(const Weak &weak, quint64 epoch)
{
    const std::shared_ptr<HomeySocket> self = weak.lock();
    if (!self || self->m_epoch != epoch)
        throw closed();
    return *self;
}

// --- the owner's side ---

QCoro::Task<std::shared_ptr<HomeySocket::Channel>> HomeySocket::connect(QStringList deviceIDs)
{
    const quint64 epoch = ++m_epoch;
    // An older reconnection loop must never run a handshake next to this one.
    cancelReconnect();
    if (m_channel)
        teardown(true);
    m_deviceIDs = std::move(deviceIDs);
    m_running = true;
    m_channel = std::make_shared<Channel>(streamCapacity);
    return establish(m_self, epoch, m_channel);
}

QCoro::Task<std::shared_ptr<HomeySocket::Channel>> HomeySocket::establish(Weak weak, quint64 epoch,
                                                                          std::shared_ptr<Channel> channel)
{
    std::exception_ptr failure;
    try {
        co_await openAndHandshake(weak, epoch);
    } catch (...) {
        failure = std::current_exception();
    }
    const std::shared_ptr<HomeySocket> self = weak.lock();
    const bool superseded = !self || self->m_epoch != epoch;
    if (failure || superseded) {
        // Only our own stream ends; a newer connect owns everything else.
        channel->finish();
        if (!superseded) {
            self->m_running = false;
            self->teardown(true); // the failed attempt's transport goes too
        }
        if (failure)
            std::rethrow_exception(failure);
        throw closed();
    }
    channel->push(HomeyEvent::Connected{});
    self->startHealthLoop();
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

// --- inbound frames: nothing here throws, whatever cannot be used is dropped ---

void HomeySocket::handle(const RealtimeFrames::InboundFrame &inbound)
{
    if (inbound.isEvent) {
        if (inbound.event)
            handleEvent(*inbound.event);
        return;
    }
    const QString &frame = inbound.text;
    if (frame.isEmpty())
        return;
    switch (frame.at(0).unicode()) {
    case u'0':
        m_waiters.reached(SocketWaiters::WaitKey::open());
        break;
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
    case 0:
        m_waiters.reached(SocketWaiters::WaitKey::connected(packet->nameSpace));
        break;
    case 1:
        transportFailed(u"de Homey koppelde de verbinding los"_s);
        break;
    case 2:
        if (std::optional<HomeyEvent> event = RealtimeFrames::mapEvent(packet->data))
            handleEvent(std::move(*event));
        break;
    case 3:
        m_waiters.acknowledged(packet->ackID, packet->data);
        break;
    case 4: {
        const QString text = QString::fromUtf8(packet->data);
        m_waiters.failAll(HomeyError::socket(text.isEmpty() ? u"de Homey weigerde de verbinding"_s : text));
        break;
    }
    default:
        break;
    }
}

void HomeySocket::setInBackground(bool background)
{
    if (std::exchange(m_inBackground, background) == background)
        return;
    if (m_link)
        m_link->setGathering(background ? backgroundGathering : SocketLinkWorker::frame);
}

void HomeySocket::handleEvent(HomeyEvent event)
{
    if (const auto *capability = event.as<HomeyEvent::Capability>()) {
        if (capability->transactionID && m_ownTransactions.isOwn(*capability->transactionID))
            return;
    }
    // Straight from the link's delivery, with nothing of this socket touched after it: the consumer may
    // take it at once. Held here, since the consumer may end this socket and its hold on the channel.
    if (const std::shared_ptr<Channel> channel = m_channel)
        channel->handOver(std::move(event));
}

void HomeySocket::yield(HomeyEvent event)
{
    if (m_channel)
        m_channel->push(std::move(event));
}
