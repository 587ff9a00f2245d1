#include "homey/auth/rawsession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

using namespace Qt::StringLiterals;

namespace {

QString wrongType(const QString &key)
{
    return u"het veld \""_s + key + u"\" heeft niet het verwachte type"_s;
}

} // namespace

std::variant<RawSession, QString> RawSession::decode(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return u"geen geldige JSON ("_s + error.errorString() + u")"_s;
    if (!document.isObject())
        return u"geen JSON-object"_s;
    const QJsonObject object = document.object();

    RawSession session;
    for (const auto &[key, field] : {std::pair{u"id"_s, &session.id}, std::pair{u"type"_s, &session.type}}) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            return u"het veld \""_s + key + u"\" ontbreekt"_s;
        if (!value.isString())
            return wrongType(key);
        *field = value.toString();
    }
    for (const auto &[key, field] :
         {std::pair{u"userName"_s, &session.userName}, std::pair{u"clientName"_s, &session.clientName}}) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            continue;
        if (!value.isString())
            return wrongType(key);
        *field = value.toString();
    }
    const QJsonValue scopes = object.value(u"scopes"_s);
    if (!scopes.isUndefined() && !scopes.isNull()) {
        if (!scopes.isArray())
            return wrongType(u"scopes"_s);
        QStringList list;
        for (const QJsonValue &scope : scopes.toArray()) {
            if (!scope.isString())
                return wrongType(u"scopes"_s);
            list << scope.toString();
        }
        session.scopes = list;
    }
    return session;
}
