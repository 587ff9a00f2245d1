#include "homey/config/homeyendpoint.h"

#include <QUrlQuery>

using namespace Qt::StringLiterals;

QUrl HomeyEndpoint::api(const QString &path) const
{
    QString full = baseURL.path(QUrl::FullyEncoded);
    if (!full.endsWith(u'/'))
        full += u'/';
    full += u"api/"_s;
    // Appending a path component never doubles the separator.
    qsizetype start = 0;
    while (start < path.size() && path.at(start) == u'/')
        ++start;
    full += QStringView(path).mid(start);
    QUrl url = baseURL;
    url.setPath(full, QUrl::TolerantMode);
    return url;
}

QUrl HomeyEndpoint::socketURL() const
{
    QUrl url = baseURL;
    url.setScheme(baseURL.scheme() == u"http" ? u"ws"_s : u"wss"_s);
    url.setPath(u"/socket.io/"_s);
    QUrlQuery query;
    query.addQueryItem(u"EIO"_s, u"4"_s);
    query.addQueryItem(u"transport"_s, u"websocket"_s);
    url.setQuery(query);
    // A WebSocket URI must not carry a fragment.
    url.setFragment(QString());
    return url;
}

QJsonObject HomeyEndpoint::toJson() const
{
    QJsonObject object{
        {u"baseURL"_s, baseURLText(baseURL)},
        {u"homeyID"_s, homeyID},
    };
    if (name)
        object.insert(u"name"_s, *name);
    return object;
}

std::optional<HomeyEndpoint> HomeyEndpoint::fromJson(const QJsonValue &json)
{
    if (!json.isObject())
        return std::nullopt;
    const QJsonObject object = json.toObject();
    const QJsonValue base = object.value(u"baseURL"_s);
    const QJsonValue id = object.value(u"homeyID"_s);
    const QJsonValue nameValue = object.value(u"name"_s);
    if (!base.isString() || !id.isString())
        return std::nullopt;
    const std::optional<QUrl> url = parseBaseURL(base.toString());
    if (!url)
        return std::nullopt;
    std::optional<QString> name;
    if (nameValue.isString())
        name = nameValue.toString();
    else if (!nameValue.isUndefined() && !nameValue.isNull())
        return std::nullopt;
    return HomeyEndpoint{*url, id.toString(), name};
}

std::optional<QUrl> HomeyEndpoint::parseBaseURL(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    // QUrl keeps schemes in lower case.
    const bool web = url.scheme() == u"http"_s || url.scheme() == u"https"_s;
    if (!url.isValid() || !web || url.host().isEmpty() || url.hasFragment())
        return std::nullopt;
    return url;
}

QString HomeyEndpoint::baseURLText(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

size_t qHash(const HomeyEndpoint &endpoint, size_t seed) noexcept
{
    return qHashMulti(seed, endpoint.baseURL, endpoint.homeyID, endpoint.name.value_or(QString()),
                      endpoint.name.has_value());
}
