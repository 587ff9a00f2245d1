#pragma once

#include "base/async/canceltoken.h"
#include "base/async/requestslots.h"
#include "homey/config/homeyendpoint.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QCoroTask>
#include <QNetworkRequest>
#include <QSet>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// The HTTP side of the hub client: builds requests, runs them on one network manager with at most a
// few in flight, and maps every outcome onto HomeyError or Cancelled. Shared by the client and by the
// coroutines it started, so a coroutine that resumes after the client is gone still finds it alive.
// Main thread only.
class HomeyTransport {
public:
    struct Options {
        // Longest wait for more data of one request.
        std::chrono::milliseconds silenceTimeout{15'000};
        // Longest time one request may take, from the moment it is sent.
        std::chrono::milliseconds deadline{60'000};
        // Requests on the wire at once; the rest wait here, in call order.
        int maxInFlight = 4;
    };

    HomeyTransport(HomeyEndpoint endpoint, QString token, Options options);
    ~HomeyTransport();
    HomeyTransport(const HomeyTransport &) = delete;
    HomeyTransport &operator=(const HomeyTransport &) = delete;

    const HomeyEndpoint &endpoint() const { return m_endpoint; }

    // Aborts every request and fails every waiting one with Cancelled; later calls fail the same way.
    void close();

    // Runs one request against "/api/" + path and returns the body of a 2xx answer. A body, when
    // given, goes out with "Content-Type: application/json". Any method but GET reaches the hub at most
    // once: when the link closes before an answer, the request fails and is not sent again. Static so
    // the coroutine holds its own reference to the transport.
    static QCoro::Task<QByteArray> perform(std::shared_ptr<HomeyTransport> self, QByteArray method,
                                           QString path, std::optional<QByteArray> body, CancelToken cancel);

private:
    QNetworkRequest request(const QString &path) const;
    QNetworkReply *send(const QByteArray &method, const QString &path, const std::optional<QByteArray> &body);
    // The host named in unreachable errors.
    QString host() const;

    const HomeyEndpoint m_endpoint;
    const QString m_token;
    const bool m_tokenSendable;
    const Options m_options;
    QNetworkAccessManager *m_manager;
    RequestSlots m_slots;
    bool m_closed = false;
    QSet<QNetworkReply *> m_replies;
};
