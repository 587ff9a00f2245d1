#include "homey/realtime/socketlink.h"

#include "base/async/settle.h"
#include "homey/model/homeyerror.h"
#include "homey/realtime/socketlinkworker.h"

#include <memory>
#include <QThread>
#include <QTimer>

using namespace Qt::StringLiterals;

SocketLink::SocketLink(FrameHandler onFrame, LossHandler onLoss)
    : m_thread(new QThread), m_worker(new SocketLinkWorker(maxMessageSize)), m_onFrame(std::move(onFrame)),
      m_onLoss(std::move(onLoss))
{
    m_thread->setObjectName(u"realtime"_s);
    m_worker->moveToThread(m_thread);
    connect(m_worker, &SocketLinkWorker::opened, this, [this] { m_open = true; });
    connect(m_worker, &SocketLinkWorker::received, this, &SocketLink::received);
    connect(m_worker, &SocketLinkWorker::lost, this, &SocketLink::lost);
    connect(m_worker, &SocketLinkWorker::pong, this, &SocketLink::pong);
    m_thread->start();
}

SocketLink::~SocketLink()
{
    disconnect(m_worker, nullptr, this, nullptr);
    // Queued behind a close() still on its way, so the close frame goes out first.
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] {
        delete worker;
        QThread::currentThread()->quit();
    });
    m_thread->wait();
    delete m_thread;
}

void SocketLink::open(const QUrl &url)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, url] { worker->open(url); });
}

void SocketLink::setGathering(std::chrono::milliseconds window)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, window] { worker->setGathering(window); });
}

bool SocketLink::isConnected() const
{
    return m_open && !m_lost && !m_closed;
}

void SocketLink::send(const QString &text)
{
    if (!isConnected())
        throw HomeyError::socket(u"geen verbinding"_s);
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, text] { worker->send(text); });
}

void SocketLink::close()
{
    if (m_closed)
        return;
    m_closed = true;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->close(); });
    Q_EMIT ended();
}

void SocketLink::received(const QList<RealtimeFrames::InboundFrame> &frames)
{
    // The owner closes this link before it goes, and whoever takes a frame may end the owner.
    for (const RealtimeFrames::InboundFrame &frame : frames) {
        if (m_closed)
            return;
        m_onFrame(frame);
    }
}

void SocketLink::lost(const QString &reason)
{
    if (m_closed || m_lost)
        return;
    m_lost = true;
    Q_EMIT ended();
    m_onLoss(reason);
}

QCoro::Task<bool> SocketLink::ping(QPointer<SocketLink> link, std::chrono::milliseconds timeout,
                                   CancelToken token)
{
    if (!link || !link->isConnected())
        co_return false;
    auto settle = std::make_shared<Settle<bool>>();
    // Every connection below dies with this context, so no late callback outlives the ping.
    auto context = std::make_unique<QObject>();
    QObject::connect(link, &SocketLink::pong, context.get(), [settle] { settle->settle(true); });
    QObject::connect(link, &SocketLink::ended, context.get(), [settle] { settle->settle(false); });
    QObject::connect(link, &QObject::destroyed, context.get(), [settle] { settle->settle(false); });
    QTimer::singleShot(timeout, Qt::PreciseTimer, context.get(), [settle] { settle->settle(false); });
    const CancelRegistration registration = token.onCancel([settle] { settle->settle(false); });
    QMetaObject::invokeMethod(link->m_worker, [worker = link->m_worker] { worker->ping(); });
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
