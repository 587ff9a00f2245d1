#pragma once

#include "homey/realtime/realtimeframes.h"

#include <chrono>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QTimer;
class QUrl;
class QWebSocket;

// The reading side of one SocketLink, on the link's own thread: it owns the WebSocket, reads every text
// frame there (an EVENT packet as far as its event, which is where the time goes) and reports to the
// link in arrival order through queued signals. Events are handed on at most once per display frame (or
// a longer window the owner sets): the first after a quiet spell at once, later ones gathered until the
// window has passed, so that a busy hub wakes the main thread once per window rather than once per
// event. Any other frame goes at once, behind the events gathered before it. Called only on its own
// thread.
class SocketLinkWorker : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds frame{16};

    explicit SocketLinkWorker(qint64 maxMessageSize);
    ~SocketLinkWorker() override;

    void open(const QUrl &url);
    // The longest events are gathered; held ones go at once when the new window has already passed.
    void setGathering(std::chrono::milliseconds window);
    // A text that does not go out is reported as the loss of the link.
    void send(const QString &text);
    void ping();
    // Closes a connected link with "going away" and aborts any other; nothing is reported after this.
    void close();

Q_SIGNALS:
    void opened();
    void received(const QList<RealtimeFrames::InboundFrame> &frames);
    void lost(const QString &reason);
    void pong();

private:
    void receivedText(const QString &text);
    // Held events go now when the window has passed since the last delivery, else when it will have.
    void pace();
    void deliver();
    void reportLoss();

    QWebSocket *m_ws;
    QTimer *m_pace;
    QList<RealtimeFrames::InboundFrame> m_held;
    QElapsedTimer m_sinceDelivery;
    std::chrono::milliseconds m_window = frame;
    bool m_lost = false;
    bool m_closed = false;
};
