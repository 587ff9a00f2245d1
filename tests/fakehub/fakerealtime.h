#pragma once

#include <functional>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

class FakeHub;
class FakeSocketLink;

// The hub's realtime side on the fake hub's port, path /socket.io/: Engine.IO open, Socket.IO connects,
// the "handshakeClient" request checked against the hub's token, acknowledged subscriptions and pushed
// events. A capability write over REST is echoed to the links that subscribed to that device, with
// the write's transaction id. Tests script the faults below and read every frame the client sent.
class FakeRealtime : public QObject {
    Q_OBJECT

public:
    enum class Answer { Accept, Refuse, Ignore };

    explicit FakeRealtime(FakeHub *hub);
    ~FakeRealtime() override;

    // The handshake namespace the hub hands out.
    void setNamespace(const QString &nameSpace) { m_namespace = nameSpace; }

    // Faults, each until changed again.
    void setAcceptingLinks(bool accepting) { m_accepting = accepting; } // false: new upgrades are cut off
    void setSendOpen(bool send) { m_sendOpen = send; }                  // false: no Engine.IO open packet
    void setAnswerHandshake(bool answer) { m_answerHandshake = answer; }
    void setRefuseToken(bool refuse) { m_refuseToken = refuse; } // any token is refused
    void setSubscriptionAnswer(Answer answer) { m_subscriptionAnswer = answer; }
    void setSubscriptionAnswer(const QString &uri, Answer answer);

    // What every open link gets.
    void pushRaw(const QString &frame);
    void pushEvent(const QString &uri, const QString &name, const QJsonValue &data = QJsonValue::Undefined);
    // transactionID empty: none is sent.
    void pushCapability(const QString &deviceID, const QString &capabilityID, const QJsonValue &value,
                        const QString &transactionID = {});
    void sendEngineClose();      // "1"
    void sendSocketDisconnect(); // "41"
    void closeLinks();           // TCP close without a WebSocket close frame
    void freezeLinks();          // hold every link silently: no pong, no answer, nothing sent

    // The most recent link still there, for frame-level mischief; null when there is none.
    FakeSocketLink *lastLink() const;
    int openLinkCount() const;
    int linksMade() const { return m_linksMade; }
    // The URIs subscribed on the most recent link, in order.
    QStringList subscriptions() const;
    // Every text frame a client sent, on every link, in arrival order.
    QStringList inboundFrames() const { return m_inbound; }
    void clearInboundFrames() { m_inbound.clear(); }
    // The close status the client sent on the most recent link that sent one; 0 when none did.
    quint16 lastCloseCode() const { return m_lastCloseCode; }

Q_SIGNALS:
    void frameReceived(const QString &frame);

private:
    struct Link {
        QPointer<FakeSocketLink> link;
        QStringList subscriptions;
    };

    void accept(FakeSocketLink *link);
    void received(FakeSocketLink *link, const QString &frame);
    void handleEvent(Link &link, const QString &nameSpace, const QString &ackID, const QString &json);
    Link *find(FakeSocketLink *link);
    void sendTo(const QString &frame, const std::function<bool(const Link &)> &filter = {});

    QPointer<FakeHub> m_hub; // gone already when the hub deletes us as its child
    QList<Link> m_links;
    QString m_namespace = QStringLiteral("/realtime");
    bool m_accepting = true;
    bool m_sendOpen = true;
    bool m_answerHandshake = true;
    bool m_refuseToken = false;
    Answer m_subscriptionAnswer = Answer::Accept;
    QHash<QString, Answer> m_answers;
    QStringList m_inbound;
    int m_linksMade = 0;
    quint16 m_lastCloseCode = 0;
};
