#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <functional>
#include <QAbstractSocket>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QWebSocketProtocol>

class QUrl;
class QWebSocket;

// One WebSocket to the hub. It takes QWebSocket's signals for HomeySocket, hands on every text frame and
// reports the loss of the link once, in Dutch: Qt's own texts are English. A frame or message above the
// limit closes the link with 1009 before its payload is buffered.
class SocketLink : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 maxMessageSize = 16 * 1024 * 1024;

    using FrameHandler = std::function<void(const QString &frame)>;
    using LossHandler = std::function<void(const QString &reason)>;

    SocketLink(FrameHandler onFrame, LossHandler onLoss);
    ~SocketLink() override;

    void open(const QUrl &url);
    // Open, and no loss seen.
    bool isConnected() const;
    // Throws HomeyError::socket when the text does not go out.
    void send(const QString &text);
    // Closes a connected link with "going away" and aborts any other (closing a link that already failed
    // upsets Qt). Nothing is handed on or reported after this.
    void close();

    // True when the pong comes within the time-out; false on a time-out, a loss or cancellation.
    static QCoro::Task<bool> ping(QPointer<SocketLink> link, std::chrono::milliseconds timeout,
                                  CancelToken token);

    // Why a link failed or closed, for the user: the socket's error, or the close code when there is none.
    static QString failureText(QAbstractSocket::SocketError error, QWebSocketProtocol::CloseCode code);

private:
    void received(const QString &frame);
    void lost();

    QWebSocket *m_ws;
    FrameHandler m_onFrame;
    LossHandler m_onLoss;
    bool m_lost = false;
    bool m_closed = false;
};
