#include "homey/config/probereply.h"

#include "base/async/laterdeleter.h"

#include <memory>
#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

bool isHttpAnswer(QNetworkReply::NetworkError error)
{
    // Content (2xx codes) and server (4xx codes) errors are Qt's names for HTTP error statuses; every
    // other error means the answer did not arrive whole.
    const int code = int(error);
    return error == QNetworkReply::NoError || (code >= 201 && code < 300) || (code >= 401 && code < 500);
}

} // namespace

QCoro::Task<ProbeReply> probeGet(std::shared_ptr<QNetworkAccessManager> manager, QUrl url,
                                 QList<QPair<QByteArray, QByteArray>> headers,
                                 std::chrono::milliseconds timeout, CancelToken cancel)
{
    ProbeReply result;
    if (cancel.isCancelled()) {
        result.finished = true;
        result.error = QNetworkReply::OperationCanceledError;
        co_return result;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);

    QNetworkReply *reply = manager->get(request);
    const std::unique_ptr<QNetworkReply, LaterDeleter> owned(reply);
    // Cancel may come from any thread: the abort is posted to the reply's own thread, and dropped by Qt
    // when the reply is gone by then.
    CancelRegistration registration = cancel.onCancel(
        [reply] { QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection); });

    const std::chrono::milliseconds wait = timeout.count() > 0 ? timeout : std::chrono::milliseconds(0);
    result.finished = co_await qCoro(reply).waitForFinished(wait);
    registration.reset();
    if (!result.finished) {
        reply->abort();
        result.error = QNetworkReply::TimeoutError;
        co_return result;
    }

    result.error = reply->error();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && isHttpAnswer(result.error)) {
        result.status = status.toInt();
        result.body = reply->readAll();
    }
    co_return result;
}

std::shared_ptr<QNetworkAccessManager> oneCallManager()
{
    return std::shared_ptr<QNetworkAccessManager>(new QNetworkAccessManager, LaterDeleter());
}
