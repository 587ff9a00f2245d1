#pragma once

#include "base/async/canceltoken.h"
#include "homey/auth/homeyidentity.h"

#include <chrono>
#include <functional>
#include <memory>
#include <QCoroTask>
#include <QNetworkReply>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

inline constexpr std::chrono::milliseconds tokenValidationTimeout = std::chrono::seconds(10);

struct TokenValidationOptions {
    // Used as is and left alone; without one, a manager is made for the call and discarded afterwards.
    std::shared_ptr<QNetworkAccessManager> session;
    CancelToken cancel;
    std::chrono::milliseconds timeout = tokenValidationTimeout;
    // Whether the machine has no network at all; empty: NetworkReachability::machineIsOffline.
    std::function<bool()> isMachineOffline;
};

// Asks the hub which session `token` belongs to. Throws HomeyError (unauthorized, decoding, http, offline,
// unreachable) or Cancelled when the options' token fires.
QCoro::Task<HomeyIdentity> validateToken(QUrl baseURL, QString token, TokenValidationOptions options = {});
