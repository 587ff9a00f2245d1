#pragma once

#include "base/async/canceltoken.h"
#include "homey/realtime/realtimeframes.h"

#include <chrono>
#include <functional>
#include <QAbstractSocket>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QWebSocketProtocol>

class QThread;
class QUrl;
class SocketLinkWorker;

// One WebSocket to the hub, for HomeySocket on the main thread. The socket is read on a thread of the
// link's own, where each frame is also read as far as its event, so that a busy hub costs the main thread
// only the events themselves. It hands on every text frame in arrival order (events gathered up to a
// display frame, see SocketLinkWorker) and reports the loss of the link once, in Dutch: Qt's own texts are
// English. A frame or message above the limit closes the link with 1009 before its payload is buffered.
class SocketLink : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 maxMessageSize = 16 * 1024 * 1024;

    using FrameHandler = std::function<void(const RealtimeFrames::InboundFrame &frame)>;
    using LossHandler = std::function<void(const QString &reason)>;

    SocketLink(FrameHandler onFrame, LossHandler onLoss);
    ~SocketLink() override;

    void open(const QUrl &url);
    // The longest a burst of events is gathered before it is handed on (SocketLinkWorker::frame at first).
    void setGathering(std::chrono::milliseconds window);
    // Open, and no loss seen.
    bool isConnected() const;
    // Throws HomeyError::socket when the link is not open; a text that then does not go out is reported as
    // the loss of the link.
    void send(const QString &text);
    // Closes a connected link with "going away" and aborts any other (closing a link that already failed
    // upsets Qt). Nothing is handed on or reported after this.
    void close();

    // True when the pong comes within the time-out; false on a time-out, a loss or cancellation.
    static QCoro::Task<bool> ping(QPointer<SocketLink> link, std::chrono::milliseconds timeout,
                                  CancelToken token);

    // Why a link failed or closed, for the user: the socket's error, or the close code when there is none.
    static QString failureText(QAbstractSocket::SocketError error, QWebSocketProtocol::CloseCode code);

Q_SIGNALS:
    void pong();
    // The link was lost or closed.
    void ended();

private:
    void received(const QList<RealtimeFrames::InboundFrame> &frames);
    void lost(const QString &reason);

    QThread *m_thread;
    // Lives on m_thread, and is deleted there.
    SocketLinkWorker *m_worker;
    FrameHandler m_onFrame;
    LossHandler m_onLoss;
    bool m_open = false;
    bool m_lost = false;
    bool m_closed = false;
};
