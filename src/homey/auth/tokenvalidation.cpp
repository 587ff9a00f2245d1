#include "homey/auth/tokenvalidation.h"

#include "base/async/cancelled.h"
#include "homey/auth/rawsession.h"
#include "homey/auth/tokentext.h"
#include "homey/config/homeyendpoint.h"
#include "homey/config/probereply.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/networkreachability.h"

#include <QNetworkAccessManager>

using namespace Qt::StringLiterals;

namespace {

const QString sessionPath = u"manager/sessions/session/me"_s;

HomeyIdentity identityFrom(const ProbeReply &reply)
{
    const int status = *reply.status;
    if (status == 401 || status == 403)
        throw HomeyError::unauthorized();
    if (status < 200 || status > 299)
        throw HomeyError::http(status, u"/api/"_s + sessionPath);
    std::variant<RawSession, QString> decoded = RawSession::decode(reply.body);
    if (const QString *failure = std::get_if<QString>(&decoded))
        throw HomeyError::decoding(u"sessions/session/me: "_s + *failure);
    RawSession &session = std::get<RawSession>(decoded);
    return HomeyIdentity{session.id, session.type, session.userName.value_or(u"onbekend"_s),
                         session.scopes.value_or(QStringList()), session.clientName};
}

} // namespace

QCoro::Task<HomeyIdentity> validateToken(QUrl baseURL, QString token, TokenValidationOptions options)
{
    options.cancel.throwIfCancelled();
    // A control character would split or forge a header; such a token cannot be the hub's anyway.
    if (TokenText::hasControlCharacter(token))
        throw HomeyError::unauthorized();

    const std::shared_ptr<QNetworkAccessManager> session =
        options.session ? options.session : oneCallManager();
    const QUrl url = HomeyEndpoint{baseURL, {}, {}}.api(sessionPath);
    QList<QPair<QByteArray, QByteArray>> headers;
    headers.append({QByteArrayLiteral("Authorization"), QByteArrayLiteral("Bearer ") + token.toUtf8()});
    const ProbeReply reply = co_await probeGet(session, url, headers, options.timeout, options.cancel);
    options.cancel.throwIfCancelled();

    if (reply.status)
        co_return identityFrom(reply);
    if (reply.finished && NetworkReachability::meansOffline(
                              reply.error, options.isMachineOffline ? options.isMachineOffline
                                                                    : &NetworkReachability::machineIsOffline))
        throw HomeyError::offline();
    const QString host = baseURL.host(QUrl::FullyEncoded);
    throw HomeyError::unreachable(host.isEmpty() ? baseURL.toString(QUrl::FullyEncoded) : host);
}
