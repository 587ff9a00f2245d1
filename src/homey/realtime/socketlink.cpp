#include "homey/realtime/socketlink.h"

#include "base/async/settle.h"
#include "homey/model/homeyerror.h"

#include <memory>
#include <QStringDecoder>
#include <QTimer>
#include <QWebSocket>

using namespace Qt::StringLiterals;

SocketLink::SocketLink(FrameHandler onFrame, LossHandler onLoss)
    : m_ws(new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this)), m_onFrame(std::move(onFrame)),
      m_onLoss(std::move(onLoss))
{
    // Without the frame limit a frame head alone makes Qt buffer up to 2 GiB before the message limit
    // is looked at.
    m_ws->setMaxAllowedIncomingFrameSize(maxMessageSize);
    m_ws->setMaxAllowedIncomingMessageSize(maxMessageSize);
    connect(m_ws, &QWebSocket::textMessageReceived, this, &SocketLink::received);
    connect(m_ws, &QWebSocket::binaryMessageReceived, this, [this](const QByteArray &bytes) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(bytes);
        if (!decoder.hasError())
            received(text);
    });
    connect(m_ws, &QWebSocket::disconnected, this, &SocketLink::lost);
    connect(m_ws, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this, &SocketLink::lost);
}

SocketLink::~SocketLink()
{
    // The socket's destructor may still emit disconnected(): it must not reach this half-gone object.
    m_ws->disconnect(this);
}

void SocketLink::open(const QUrl &url)
{
    m_ws->open(url);
}

bool SocketLink::isConnected() const
{
    return !m_lost && !m_closed && m_ws->state() == QAbstractSocket::ConnectedState;
}

void SocketLink::send(const QString &text)
{
    if (!isConnected())
        throw HomeyError::socket(u"geen verbinding"_s);
    if (m_ws->sendTextMessage(text) != text.toUtf8().size())
        throw HomeyError::socket(failureText(m_ws->error(), m_ws->closeCode()));
}

void SocketLink::close()
{
    const bool connected = isConnected();
    m_closed = true;
    m_ws->disconnect(this);
    if (connected)
        m_ws->close(QWebSocketProtocol::CloseCodeGoingAway);
    else
        m_ws->abort();
}

void SocketLink::received(const QString &frame)
{
    if (!m_closed)
        m_onFrame(frame);
}

void SocketLink::lost()
{
    // Qt reports one loss through both signals, and an error while the state still reads "connected".
    if (m_closed || m_lost)
        return;
    m_lost = true;
    m_onLoss(failureText(m_ws->error(), m_ws->closeCode()));
}

QCoro::Task<bool> SocketLink::ping(QPointer<SocketLink> link, std::chrono::milliseconds timeout,
                                   CancelToken token)
{
    if (!link || !link->isConnected())
        co_return false;
    auto settle = std::make_shared<Settle<bool>>();
    // Every connection below dies with this context, so no late callback outlives the ping.
    auto context = std::make_unique<QObject>();
    QWebSocket *ws = link->m_ws;
    QObject::connect(ws, &QWebSocket::pong, context.get(), [settle] { settle->settle(true); });
    QObject::connect(ws, &QWebSocket::disconnected, context.get(), [settle] { settle->settle(false); });
    QObject::connect(ws, &QObject::destroyed, context.get(), [settle] { settle->settle(false); });
    QTimer::singleShot(timeout, Qt::PreciseTimer, context.get(), [settle] { settle->settle(false); });
    const CancelRegistration registration = token.onCancel([settle] { settle->settle(false); });
    ws->ping();
    const bool answered = co_await settle->value();
    co_return answered;
}

QString SocketLink::failureText(QAbstractSocket::SocketError error, QWebSocketProtocol::CloseCode code)
{
    switch (error) {
    case QAbstractSocket::UnknownSocketError:
        break;
    case QAbstractSocket::RemoteHostClosedError:
        return u"de Homey sloot de verbinding"_s;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return u"time-out van de verbinding met de Homey"_s;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return u"de beveiligde verbinding met de Homey mislukte"_s;
    default:
        return u"de Homey is niet bereikbaar"_s;
    }
    switch (code) {
    case QWebSocketProtocol::CloseCodeTooMuchData:
        return u"bericht van de Homey is te groot"_s;
    case QWebSocketProtocol::CloseCodeProtocolError:
    case QWebSocketProtocol::CloseCodeDatatypeNotSupported:
    case QWebSocketProtocol::CloseCodeWrongDatatype:
        return u"de Homey stuurde een ongeldig bericht"_s;
    default:
        return u"de Homey sloot de verbinding"_s;
    }
}
