#pragma once

#include "homey/realtime/realtimeframes.h"

#include <QObject>
#include <QString>

class QUrl;
class QWebSocket;

// The reading side of one SocketLink, on the link's own thread: it owns the WebSocket, reads every text
// frame there (an EVENT packet as far as its event, which is where the time goes) and reports to the
// link in arrival order through queued signals. Called only on its own thread.
class SocketLinkWorker : public QObject {
    Q_OBJECT

public:
    explicit SocketLinkWorker(qint64 maxMessageSize);
    ~SocketLinkWorker() override;

    void open(const QUrl &url);
    // A text that does not go out is reported as the loss of the link.
    void send(const QString &text);
    void ping();
    // Closes a connected link with "going away" and aborts any other; nothing is reported after this.
    void close();

Q_SIGNALS:
    void opened();
    void received(const RealtimeFrames::InboundFrame &frame);
    void lost(const QString &reason);
    void pong();

private:
    void receivedText(const QString &text);
    void reportLoss();

    QWebSocket *m_ws;
    bool m_lost = false;
    bool m_closed = false;
};
