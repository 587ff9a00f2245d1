#pragma once

#include "fakehub/fakerequest.h"

#include <functional>
#include <optional>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <unordered_map>

class QTcpServer;
class QTcpSocket;

// A stand-in for the hub's REST interface on 127.0.0.1, served from a home held as one
// JSON document. It records every request, answers 404 to anything it does not know
// (and keeps those requests, see unknownRequests()), and can be told to misbehave per path.
//
// The home document has these members; collections are objects keyed by id, exactly as
// the hub sends them:
//   "zones", "devices", "flows", "advancedFlows", "moods", "notifications" (collections),
//   "me" (the user), "energy" (live energy), "system", "session" (sessions/session/me),
//   "token" (the accepted access token; acceptToken() adds others).
// A missing member is served as an empty object.
//
// WebSocket upgrade: a request with "Upgrade: websocket" on a path under "/socket.io/"
// goes to the handler given to setWebSocketUpgradeHandler(). The handler receives the
// connected socket and the request (its rawHead holds the request head as received; its
// body holds any bytes the client sent after the head that were already read). From then
// on the hub neither reads from nor writes to that socket: the handler answers the
// upgrade itself. The socket stays a child of the hub unless the handler reparents it.
// The request is recorded before the handler runs. Without a handler the upgrade is
// answered 404 like any unknown path.
//
// A request the hub cannot parse is answered 400 and its connection closed; it is recorded
// (as unknown) when at least its request line could be read.
class FakeHub : public QObject {
    Q_OBJECT

public:
    using UpgradeHandler = std::function<void(QTcpSocket *socket, const FakeRequest &request)>;

    explicit FakeHub(QObject *parent = nullptr);
    ~FakeHub() override;

    // Listens on 127.0.0.1; port 0 picks a free port.
    bool listen(quint16 port = 0);
    quint16 port() const;
    QUrl baseURL() const; // http://127.0.0.1:<port>

    // The demo home in the source tree, and a small one for tests: two zones, a lamp, a flow of each
    // kind, two moods, three notifications, the token "secret", and a record of each kind that
    // does not decode.
    static QString demoHomePath();
    static QString smallHomePath();

    // The home. Loading or setting a home also takes its "token" member, when present, as the token.
    static std::optional<QJsonObject> readHomeFile(const QString &path, QString *error = nullptr);
    bool loadHome(const QString &path, QString *error = nullptr);
    void setHome(const QJsonObject &home);
    QJsonObject home() const { return m_home; }
    QJsonObject device(const QString &deviceID) const;
    // Changes a capability's value and lastUpdated as a write from elsewhere would, and
    // emits capabilityChanged() with an empty transaction id. False for an unknown device or capability.
    bool setCapabilityValue(const QString &deviceID, const QString &capabilityID, const QJsonValue &value);

    void setToken(const QString &token) { m_token = token; }
    QString token() const { return m_token; }
    // Takes this token as well as token(), over REST and the realtime socket alike: a second paired key.
    void acceptToken(const QString &token) { m_alsoAccepted.insert(token); }
    bool accepts(const QString &token) const { return token == m_token || m_alsoAccepted.contains(token); }

    QList<FakeRequest> requests() const { return m_requests; }
    QList<FakeRequest> unknownRequests() const;
    void clearRequests() { m_requests.clear(); }
    // Runs the event loop until count requests have come in; false when they did not within timeoutMs.
    bool waitForRequests(qsizetype count, int timeoutMs = 5000);

    // Faults, matched against FakeRequest::route() (the path under "/api/", still encoded,
    // without the query, e.g. "manager/zones/zone/"). A path ending in "*" matches every
    // route that begins with what stands before the "*". A fault stays until clearFaults();
    // a fault set again for the same path replaces it, and the most recently set fault
    // wins where several match. Faults apply before the token check and to unknown paths too.
    void failPath(const QString &path, int status);                  // that status with a small JSON body
    void stallPath(const QString &path);                             // read the request, never answer
    void malformPath(const QString &path, const QByteArray &body);   // 200 with these raw bytes
    void closePath(const QString &path);                             // drop the connection unanswered
    void redirectPath(const QString &path, const QString &location); // 302 to location
    // Writes these bytes exactly (status line, headers, body, or any part of them) and then
    // closes the connection: for odd headers and answers cut off mid-body.
    void rawResponsePath(const QString &path, const QByteArray &response);
    void clearFaults() { m_faults.clear(); }

    void setWebSocketUpgradeHandler(UpgradeHandler handler) { m_upgradeHandler = std::move(handler); }

Q_SIGNALS:
    void requestReceived(const FakeRequest &request);
    // A capability value in the home changed; transactionID is the one the write carried
    // (empty when the write had none or came from setCapabilityValue()).
    void capabilityChanged(const QString &deviceID, const QString &capabilityID, const QJsonValue &value,
                           const QString &transactionID);

private:
    enum class FaultKind { Status, Stall, Malformed, Close, Redirect, Raw };
    struct Fault {
        QString path;
        FaultKind kind = FaultKind::Status;
        int status = 0;
        QByteArray payload;
    };
    struct Connection {
        QTcpSocket *socket = nullptr;
        QByteArray buffer;
        int id = 0;
        bool stalled = false; // nothing more is read: stalled, or closing after an answer
    };
    struct Reply {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
    };
    enum class Route { Unknown, Ping, Read, Session, WriteCapability, Trigger, Upgrade };

    void acceptConnections();
    void readFrom(QTcpSocket *socket);
    void drop(QTcpSocket *socket);
    // Answers one request; false when the connection must not be read any further.
    bool serve(Connection &connection, FakeRequest request);
    Route routeOf(const FakeRequest &request) const;
    Reply answer(Route route, const FakeRequest &request);
    Reply writeCapability(const QStringList &segments, const FakeRequest &request);
    Reply trigger(const QStringList &segments) const;
    void addFault(Fault fault);
    const Fault *faultFor(const QByteArray &route) const;
    void send(Connection &connection, const Reply &reply, bool close);
    bool changeCapability(const QString &deviceID, const QString &capabilityID, const QJsonValue &value,
                          const QString &transactionID);

    QTcpServer *m_server = nullptr;
    std::unordered_map<QTcpSocket *, Connection> m_connections; // node-based: references survive inserts
    int m_nextConnectionId = 1;
    QJsonObject m_home;
    QString m_token;
    QSet<QString> m_alsoAccepted;
    QList<FakeRequest> m_requests;
    QList<Fault> m_faults;
    UpgradeHandler m_upgradeHandler;
};
