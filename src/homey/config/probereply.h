#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QCoroTask>
#include <QList>
#include <QNetworkReply>
#include <QPair>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// What one short GET to the hub came back with.
struct ProbeReply {
    // False when the deadline passed first (the request was then aborted).
    bool finished = false;
    // Set when an HTTP answer arrived whole; a status alone does not count when the transfer broke off.
    std::optional<int> status;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    QByteArray body;
};

// One GET with an overall deadline on the monotonic clock. Redirects are not followed and nothing is
// taken from or put in a cache. A cancelled token aborts the transfer; the caller checks the token
// afterwards. Never throws. `manager` must outlive the call.
QCoro::Task<ProbeReply> probeGet(QNetworkAccessManager &manager, QUrl url,
                                 QList<QPair<QByteArray, QByteArray>> headers,
                                 std::chrono::milliseconds timeout, CancelToken cancel = {});

// A QNetworkAccessManager made for one call. It is deleted through the event loop: the call ends while
// its reply may still be emitting, and the reply is the manager's child.
struct LaterDeleter {
    void operator()(QObject *object) const;
};
