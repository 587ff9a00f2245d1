#pragma once

#include "base/async/canceltoken.h"
#include "homey/auth/homeyidentity.h"

#include <chrono>
#include <QCoroTask>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

inline constexpr std::chrono::milliseconds tokenValidationTimeout = std::chrono::seconds(10);

// Asks the hub which session `token` belongs to. Throws HomeyError (unauthorized, decoding, http, offline,
// unreachable) or Cancelled when `cancel` fires. A given `session` is used as is and left alone; without
// one, a manager is made for this call and discarded afterwards.
QCoro::Task<HomeyIdentity> validateToken(QUrl baseURL, QString token,
                                         QNetworkAccessManager *session = nullptr, CancelToken cancel = {},
                                         std::chrono::milliseconds timeout = tokenValidationTimeout);
