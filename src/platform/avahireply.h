#pragma once

#include <optional>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// Readers for what avahi-daemon answers over D-Bus; whatever the daemon or a peer on the network sends,
// they give a usable value or nothing.
namespace AvahiReply {

// TXT strings ("key=value" bytes): a string without "=" is a key with an empty value; an empty string or
// an empty key carries nothing; of a repeated key the first one counts.
QMap<QString, QString> txt(const QList<QByteArray> &strings);

// The dotted IPv4 form of an address text, without any "%interface" suffix; nothing for anything else.
std::optional<QString> ipv4(const QString &address);

} // namespace AvahiReply
