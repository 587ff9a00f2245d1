#include "homey/rest/homeytransport.h"

#include "base/async/cancelled.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/singleusebody.h"

#include <algorithm>
#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

HomeyTransport::HomeyTransport(HomeyEndpoint endpoint, QString token, Options options)
    : m_endpoint(std::move(endpoint)), m_token(std::move(token)),
      m_tokenSendable(!hasControlCharacter(m_token)), m_options(options),
      m_manager(new QNetworkAccessManager), m_slots(options.maxInFlight)
{
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_manager->setAutoDeleteReplies(false);
}

HomeyTransport::~HomeyTransport()
{
    close();
    // The last owner may be a coroutine finishing inside a reply's finished signal.
    m_manager->deleteLater();
}

void HomeyTransport::close()
{
    m_closed = true;
    m_slots.close();
    // Aborting resumes the awaiting coroutine at once, which removes its reply from the set.
    const QSet<QNetworkReply *> replies = m_replies;
    for (QNetworkReply *reply : replies)
        reply->abort();
}

QNetworkRequest HomeyTransport::request(const QString &path) const
{
    QNetworkRequest request(m_endpoint.api(path));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(int(m_options.silenceTimeout.count()));
    request.setRawHeader("Authorization", "Bearer " + m_token.toUtf8());
    request.setRawHeader("Accept", "application/json");
    return request;
}

QNetworkReply *HomeyTransport::send(const QByteArray &method, const QString &path,
                                    const std::optional<QByteArray> &body)
{
    QNetworkRequest request = this->request(path);
    if (method == "GET")
        return m_manager->get(request);
    // Every write goes out through a body Qt cannot rewind, an empty one included, so that Qt never sends
    // it a second time by itself.
    if (body)
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
    request.setHeader(QNetworkRequest::ContentLengthHeader, body ? body->size() : 0);
    auto *device = new SingleUseBody(body.value_or(QByteArray()));
    QNetworkReply *reply = m_manager->sendCustomRequest(request, method, device);
    device->setParent(reply);
    return reply;
}

QString HomeyTransport::host() const
{
    const QString host = m_endpoint.baseURL.host(QUrl::FullyEncoded);
    return host.isEmpty() ? u"je Homey"_s : host;
}

QCoro::Task<QByteArray> HomeyTransport::perform(std::shared_ptr<HomeyTransport> self, QByteArray method,
                                                QString path, std::optional<QByteArray> body,
                                                CancelToken cancel)
{
    cancel.throwIfCancelled();
    if (self->m_closed)
        throw Cancelled();
    if (!self->m_tokenSendable)
        throw HomeyError::unauthorized();

    const RequestSlots::Slot slot = co_await self->m_slots.acquire(cancel);

    QNetworkReply *reply = self->send(method, path, body);
    self->m_replies.insert(reply);

    // Qt reports an abort and a time-out alike; only this flag tells the caller's cancellation apart.
    bool cancelledByCaller = false;
    CancelRegistration abortOnCancel = cancel.onCancel([&cancelledByCaller, reply] {
        cancelledByCaller = true;
        reply->abort();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(self->m_options.deadline);

    co_await reply;

    abortOnCancel.reset();
    deadline.stop();
    self->m_replies.remove(reply);
    reply->deleteLater();

    // Qt's own error texts are English and never shown: every outcome becomes one of the Dutch HomeyErrors.
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::OperationCanceledError) {
        if (cancelledByCaller || self->m_closed)
            throw Cancelled();
        throw HomeyError::unreachable(self->host());
    }
    // Connection, host, time-out and proxy failures, even after a status line arrived.
    if (error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied)
        throw HomeyError::unreachable(self->host());
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code >= 200 && code <= 299)
            co_return reply->readAll();
        if (code == 401 || code == 403)
            throw HomeyError::unauthorized();
        throw HomeyError::http(code, u"/api/"_s + path);
    }
    if (error == QNetworkReply::AuthenticationRequiredError)
        throw HomeyError::unauthorized();
    if (error == QNetworkReply::NoError)
        throw HomeyError::http(0, u"/api/"_s + path);
    // Among these: a write whose link closed before an answer, which Qt was not allowed to send again.
    throw HomeyError::unreachable(self->host());
}
