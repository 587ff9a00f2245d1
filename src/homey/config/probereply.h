#pragma once

#include "base/async/canceltoken.h"

#include <chrono>
#include <memory>
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
    QByteArray body;
};

// One GET with an overall deadline on the monotonic clock. Redirects are not followed and nothing is
// taken from or put in a cache. A cancelled token aborts the transfer; the caller checks the token
// afterwards. Never throws.
QCoro::Task<ProbeReply> probeGet(std::shared_ptr<QNetworkAccessManager> manager, QUrl url,
                                 QList<QPair<QByteArray, QByteArray>> headers,
                                 std::chrono::milliseconds timeout, CancelToken cancel = {});

// A network manager made for one call, deleted through the event loop once the call lets go of it.
std::shared_ptr<QNetworkAccessManager> oneCallManager();
