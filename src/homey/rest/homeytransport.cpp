#include "homey/rest/homeytransport.h"

#include "base/async/cancelled.h"
#include "homey/model/homeyerror.h"

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

// Waits for one of the request slots. Not granted means the wait was withdrawn (cancelled, or the
// transport closed): the caller then gets Cancelled.
class HomeyTransport::SlotAwaiter {
public:
    SlotAwaiter(HomeyTransport &transport, std::shared_ptr<Waiter> waiter)
        : m_transport(transport), m_waiter(std::move(waiter))
    {}

    bool await_ready()
    {
        if (m_transport.m_closed)
            return true;
        if (m_transport.m_inFlight < m_transport.m_options.maxInFlight && m_transport.m_waiting.empty()) {
            ++m_transport.m_inFlight;
            m_waiter->granted = true;
            return true;
        }
        return false;
    }
    void await_suspend(std::coroutine_handle<> handle)
    {
        m_waiter->handle = handle;
        m_transport.m_waiting.push_back(m_waiter);
    }
    void await_resume() const
    {
        if (!m_waiter->granted)
            throw Cancelled();
    }

private:
    HomeyTransport &m_transport;
    std::shared_ptr<Waiter> m_waiter;
};

HomeyTransport::HomeyTransport(HomeyEndpoint endpoint, QString token, Options options)
    : m_endpoint(std::move(endpoint)), m_token(std::move(token)),
      m_tokenSendable(!hasControlCharacter(m_token)), m_options(options), m_manager(new QNetworkAccessManager)
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
    std::deque<std::shared_ptr<Waiter>> waiting;
    waiting.swap(m_waiting);
    for (const auto &waiter : waiting)
        resumeLater(waiter);
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

QString HomeyTransport::host() const
{
    const QString host = m_endpoint.baseURL.host(QUrl::FullyEncoded);
    return host.isEmpty() ? u"je Homey"_s : host;
}

void HomeyTransport::releaseSlot()
{
    --m_inFlight;
    while (!m_closed && !m_waiting.empty() && m_inFlight < m_options.maxInFlight) {
        std::shared_ptr<Waiter> next = m_waiting.front();
        m_waiting.pop_front();
        ++m_inFlight;
        next->granted = true;
        resumeLater(next);
    }
}

void HomeyTransport::resumeLater(const std::shared_ptr<Waiter> &waiter)
{
    // Never resume a coroutine from inside another one's bookkeeping; the manager outlives every
    // waiter, since each waiting coroutine holds the transport.
    QMetaObject::invokeMethod(
        m_manager,
        [waiter] {
            if (waiter->done)
                return;
            waiter->done = true;
            waiter->handle.resume();
        },
        Qt::QueuedConnection);
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

    {
        auto waiter = std::make_shared<Waiter>();
        HomeyTransport *transport = self.get();
        const CancelRegistration withdraw = cancel.onCancel([transport, waiter] {
            auto &waiting = transport->m_waiting;
            const auto it = std::find(waiting.begin(), waiting.end(), waiter);
            if (it == waiting.end())
                return;
            waiting.erase(it);
            transport->resumeLater(waiter);
        });
        co_await SlotAwaiter(*self, waiter);
    }
    struct SlotRelease {
        HomeyTransport *transport;
        ~SlotRelease() { transport->releaseSlot(); }
    } release{self.get()};
    cancel.throwIfCancelled();

    const QNetworkRequest request = self->request(path);
    QNetworkReply *reply = nullptr;
    if (method == "GET") {
        reply = self->m_manager->get(request);
    } else if (body) {
        QNetworkRequest withBody = request;
        withBody.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        reply = self->m_manager->sendCustomRequest(withBody, method, *body);
    } else {
        reply = self->m_manager->sendCustomRequest(request, method);
    }
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
    throw HomeyError::unreachable(self->host());
}
