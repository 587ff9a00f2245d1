#include "homey/realtime/socketlinkworker.h"

#include "homey/realtime/socketlink.h"

#include <QStringDecoder>
#include <QTimer>
#include <QWebSocket>

SocketLinkWorker::SocketLinkWorker(qint64 maxMessageSize)
    : m_ws(new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this)), m_pace(new QTimer(this))
{
    m_pace->setSingleShot(true);
    m_pace->setTimerType(Qt::PreciseTimer);
    connect(m_pace, &QTimer::timeout, this, &SocketLinkWorker::deliver);
    // Without the frame limit a frame head alone makes Qt buffer up to 2 GiB before the message limit
    // is looked at.
    m_ws->setMaxAllowedIncomingFrameSize(maxMessageSize);
    m_ws->setMaxAllowedIncomingMessageSize(maxMessageSize);
    connect(m_ws, &QWebSocket::connected, this, &SocketLinkWorker::opened);
    connect(m_ws, &QWebSocket::textMessageReceived, this, &SocketLinkWorker::receivedText);
    connect(m_ws, &QWebSocket::binaryMessageReceived, this, [this](const QByteArray &bytes) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(bytes);
        if (!decoder.hasError())
            receivedText(text);
    });
    connect(m_ws, &QWebSocket::pong, this, &SocketLinkWorker::pong);
    connect(m_ws, &QWebSocket::disconnected, this, &SocketLinkWorker::reportLoss);
    connect(m_ws, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
            &SocketLinkWorker::reportLoss);
}

SocketLinkWorker::~SocketLinkWorker()
{
    // The socket's destructor may still emit disconnected(): it must not reach this half-gone object.
    m_ws->disconnect(this);
}

void SocketLinkWorker::open(const QUrl &url)
{
    m_ws->open(url);
}

void SocketLinkWorker::send(const QString &text)
{
    if (m_closed || m_lost)
        return;
    if (m_ws->sendTextMessage(text) != text.toUtf8().size())
        reportLoss();
}

void SocketLinkWorker::ping()
{
    if (!m_closed && !m_lost)
        m_ws->ping();
}

void SocketLinkWorker::close()
{
    m_pace->stop();
    m_held.clear();
    const bool connected = !m_lost && !m_closed && m_ws->state() == QAbstractSocket::ConnectedState;
    m_closed = true;
    m_ws->disconnect(this);
    if (connected) {
        m_ws->close(QWebSocketProtocol::CloseCodeGoingAway);
        // The worker goes right after: the close frame must be on its way before the socket is.
        m_ws->flush();
    } else {
        m_ws->abort();
    }
}

void SocketLinkWorker::receivedText(const QString &text)
{
    if (m_closed)
        return;
    RealtimeFrames::InboundFrame inbound = RealtimeFrames::read(text);
    if (!inbound.isEvent) {
        m_held.append(std::move(inbound));
        deliver();
        return;
    }
    if (!inbound.event)
        return;
    m_held.append(std::move(inbound));
    if (!m_pace->isActive())
        pace();
}

void SocketLinkWorker::setGathering(std::chrono::milliseconds window)
{
    m_window = window;
    if (m_pace->isActive())
        pace();
}

void SocketLinkWorker::pace()
{
    const auto since =
        std::chrono::milliseconds(m_sinceDelivery.isValid() ? m_sinceDelivery.elapsed() : m_window.count());
    if (since >= m_window)
        deliver();
    else
        m_pace->start(m_window - since);
}

void SocketLinkWorker::deliver()
{
    m_pace->stop();
    if (m_held.isEmpty())
        return;
    m_sinceDelivery.start();
    Q_EMIT received(std::exchange(m_held, {}));
}

void SocketLinkWorker::reportLoss()
{
    // Qt reports one loss through both signals, and an error while the state still reads "connected".
    if (m_closed || m_lost)
        return;
    m_lost = true;
    // What came before the loss is handed on before it.
    deliver();
    Q_EMIT lost(SocketLink::failureText(m_ws->error(), m_ws->closeCode()));
}
