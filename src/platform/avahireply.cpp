#include "platform/avahireply.h"

#include <QHostAddress>

namespace AvahiReply {

QMap<QString, QString> txt(const QList<QByteArray> &strings)
{
    QMap<QString, QString> map;
    for (const QByteArray &string : strings) {
        const qsizetype equals = string.indexOf('=');
        const QString key = QString::fromUtf8(equals < 0 ? string : string.left(equals));
        if (key.isEmpty() || map.contains(key))
            continue;
        map.insert(key, equals < 0 ? QString() : QString::fromUtf8(string.mid(equals + 1)));
    }
    return map;
}

std::optional<QString> ipv4(const QString &address)
{
    const QStringList segments = address.split(QLatin1Char('%'), Qt::SkipEmptyParts);
    if (segments.isEmpty())
        return std::nullopt;
    QHostAddress host;
    if (!host.setAddress(segments.constFirst()) || host.protocol() != QAbstractSocket::IPv4Protocol)
        return std::nullopt;
    return host.toString();
}

} // namespace AvahiReply
