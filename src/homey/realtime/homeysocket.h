#pragma once

#include "base/async/canceltoken.h"
#include "base/async/eventchannel.h"
#include "base/async/oneshot.h"
#include "homey/config/homeyendpoint.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyevent.h"
#include "homey/model/homeyrealtime.h"
#include "homey/realtime/owntransactions.h"
#include "homey/realtime/realtimeframes.h"
#include "homey/realtime/realtimetiming.h"
#include "homey/realtime/socketwaiters.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QJsonArray>
#include <QStringList>

class SocketLink;

// The hub's realtime link: Engine.IO 4 with Socket.IO over one WebSocket, kept alive by pings and
// rebuilt after a loss. Lives on the main thread. Its coroutines hold it weakly and look again after
// every suspension: the owner may destroy it at any of them.
//
// homeysocket.cpp: the owner's side and the inbound frames; homeysocket_handshake.cpp: opening a transport,
// the handshake and the subscriptions; homeysocket_health.cpp: the health check, loss, reconnection and
// teardown.
class HomeySocket final : public HomeyRealtime {
public:
    using Channel = EventChannel<HomeyEvent>;
    static constexpr std::size_t streamCapacity = 512;

    HomeySocket(HomeyEndpoint endpoint, QString token, RealtimeTiming timing = RealtimeTiming::standard());
    ~HomeySocket() override;
    HomeySocket(const HomeySocket &) = delete;
    HomeySocket &operator=(const HomeySocket &) = delete;

    QCoro::Task<std::shared_ptr<Channel>> connect(QStringList deviceIDs) override;
    QCoro::Task<> disconnect() override;
    QCoro::Task<> registerOwnTransaction(QString transactionID) override;
    void setInBackground(bool background) override;

    // How long a burst of events is gathered at most while in the background: a busy hub then wakes the
    // main thread about ten times a second rather than once per display frame, and a lone event still
    // goes at once.
    static constexpr std::chrono::milliseconds backgroundGathering{100};

    bool isRunning() const { return m_running; }
    bool hasTransport() const { return m_link != nullptr; }
    bool isReconnecting() const { return m_reconnect.has_value(); }

private:
    using Weak = std::weak_ptr<HomeySocket>;
    struct Reconnect {
        CancelToken token;
        quint64 id = 0;
    };

    static HomeyError closed();
    static RealtimeTiming withDefaults(RealtimeTiming timing);
    // The socket, when it is still there and no connect() or disconnect() came since the epoch; throws
    // "verbinding gesloten" otherwise.
    static HomeySocket &current(const Weak &weak, quint64 epoch);

    static QCoro::Task<std::shared_ptr<Channel>> establish(Weak weak, quint64 epoch,
                                                           std::shared_ptr<Channel> channel);
    static QCoro::Task<> openAndHandshake(Weak weak, quint64 epoch);
    static QCoro::Task<> subscribeAll(Weak weak, quint64 epoch);
    OneShot<bool> sendSubscriptions();
    void openTransport();
    void send(const QString &text);
    OneShot<bool> connectNamespace(const QString &nameSpace, const QString &frame);
    OneShot<QByteArray> emitWithAck(const QString &event, QJsonArray args, const QString &nameSpace);
    QJsonArray handshakeArguments() const;

    void handle(const RealtimeFrames::InboundFrame &frame);
    void handleSocketIO(const QString &packet);
    void handleEvent(HomeyEvent event);
    void yield(HomeyEvent event);

    void transportFailed(const QString &reason);
    void teardown(bool finishStream);
    void startHealthLoop();
    void healthCheckFailed();
    void scheduleReconnect();
    void clearReconnect(quint64 id);
    void cancelReconnect();
    static QCoro::Task<> healthLoop(Weak weak, CancelToken token);
    static QCoro::Task<> reconnectLoop(Weak weak, CancelToken token, quint64 id, quint64 epoch);

    const HomeyEndpoint m_endpoint;
    const QString m_token;
    const RealtimeTiming m_timing;

    bool m_running = false;
    // Deleted later: a loss is reported from inside the link's own signal.
    SocketLink *m_link = nullptr;
    bool m_inBackground = false;
    // Raised by every new transport and every teardown.
    quint64 m_transportGeneration = 0;
    std::shared_ptr<Channel> m_channel;
    QStringList m_deviceIDs;
    QString m_namespace = QStringLiteral("/");
    std::optional<CancelToken> m_health;
    std::optional<Reconnect> m_reconnect;
    quint64 m_reconnectSerial = 0;
    qint64 m_ackCounter = 0;
    SocketWaiters m_waiters;
    OwnTransactions m_ownTransactions;
    // Raised by every connect(), disconnect() and the destructor: work begun under an older value is stale.
    quint64 m_epoch = 0;
    // Does not own the socket: the coroutines' weak handles expire when it is destroyed.
    std::shared_ptr<HomeySocket> m_self{this, [](HomeySocket *) {}};
};
