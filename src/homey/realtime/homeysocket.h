#pragma once

#include "base/async/canceltoken.h"
#include "base/async/eventchannel.h"
#include "homey/config/homeyendpoint.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyevent.h"
#include "homey/model/homeyrealtime.h"
#include "homey/realtime/oneshot.h"
#include "homey/realtime/owntransactions.h"
#include "homey/realtime/realtimetiming.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

class QWebSocket;

// The hub's realtime link: Engine.IO 4 with Socket.IO over one WebSocket, kept alive by pings and
// rebuilt after a loss. Lives on the main thread; every coroutine re-checks its state after each await,
// and none touches the socket once it is destroyed.
class HomeySocket : public QObject, public HomeyRealtime {
    Q_OBJECT

public:
    using Channel = EventChannel<HomeyEvent>;
    static constexpr qint64 maxMessageSize = 16 * 1024 * 1024;
    static constexpr std::size_t streamCapacity = 512;

    HomeySocket(HomeyEndpoint endpoint, QString token, RealtimeTiming timing = RealtimeTiming::standard(),
                QObject *parent = nullptr);
    ~HomeySocket() override;

    QCoro::Task<std::shared_ptr<Channel>> connect(QStringList deviceIDs) override;
    QCoro::Task<> disconnect() override;
    QCoro::Task<> registerOwnTransaction(QString transactionID) override;

    bool isRunning() const { return m_running; }
    bool hasTransport() const { return m_ws != nullptr; }
    bool isReconnecting() const { return m_reconnect.has_value(); }

    // One inbound text frame. Never throws; whatever it cannot use is dropped.
    void handle(const QString &frame);

private:
    struct WaitKey {
        bool engineOpen = false;
        QString nameSpace; // for a Socket.IO CONNECT
        bool operator<(const WaitKey &other) const
        {
            return engineOpen != other.engineOpen ? engineOpen < other.engineOpen
                                                  : nameSpace < other.nameSpace;
        }
        static WaitKey open() { return {true, {}}; }
        static WaitKey connected(const QString &nameSpace) { return {false, nameSpace}; }
    };
    template <typename T> struct Pending {
        OneShot<T> shot;
        quint64 serial = 0;
    };
    struct Reconnect {
        CancelToken token;
        quint64 id = 0;
    };

    static RealtimeTiming withDefaults(RealtimeTiming timing);
    QJsonArray handshakeArguments() const;
    QString subscribeFrame(qint64 id, const QString &uri) const;
    QCoro::Task<> openAndHandshake(quint64 epoch);
    QCoro::Task<> subscribeAll(quint64 epoch);
    void openTransport();
    void send(const QString &text);
    OneShot<bool> expect(const WaitKey &key);
    QCoro::Task<QByteArray> emitWithAck(QString event, QJsonArray args, QString nameSpace);
    void expire(const WaitKey &key, quint64 serial);
    void expireAck(qint64 id, quint64 serial);
    void failAll(const HomeyError &error);
    void checkCurrent(quint64 epoch) const;

    void handleSocketIO(const QString &packet);
    void handleAck(std::optional<qint64> id, const QByteArray &payload);
    void handleEvent(const QByteArray &data);
    void yield(HomeyEvent event);

    void transportLost(quint64 generation);
    void transportFailed(const QString &reason);
    void teardown(bool finishStream);
    void startHealthLoop();
    void healthCheckFailed();
    void scheduleReconnect();
    void clearReconnect(quint64 id);
    void cancelReconnect();

    static QCoro::Task<> healthLoop(QPointer<HomeySocket> self, CancelToken token);
    static QCoro::Task<bool> ping(QPointer<QWebSocket> ws, std::chrono::milliseconds timeout,
                                  CancelToken token);
    static QCoro::Task<> reconnectLoop(QPointer<HomeySocket> self, CancelToken token, quint64 id,
                                       quint64 epoch);

    const HomeyEndpoint m_endpoint;
    const QString m_token;
    const RealtimeTiming m_timing;

    bool m_running = false;
    QWebSocket *m_ws = nullptr;
    quint64 m_transportGeneration = 0;
    std::shared_ptr<Channel> m_channel;
    QStringList m_deviceIDs;
    QString m_namespace = QStringLiteral("/");
    std::optional<CancelToken> m_health;
    std::optional<Reconnect> m_reconnect;
    quint64 m_reconnectSerial = 0;
    qint64 m_ackCounter = 0;
    std::map<qint64, Pending<QByteArray>> m_ackWaiters;
    QSet<qint64> m_pendingSubscribes;
    qint64 m_subscribeOK = 0;
    qint64 m_subscribeFail = 0;
    std::map<WaitKey, Pending<bool>> m_waiters;
    quint64 m_waiterSerial = 0;
    OwnTransactions m_ownTransactions;
    // Raised by every connect(), disconnect() and the destructor: work begun under an older value is stale.
    quint64 m_epoch = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
