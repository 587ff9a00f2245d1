#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// How token text from outside (a keyring item, a file, the environment, a paste) is made safe to use.
namespace TokenText {

// Strict UTF-8; empty data and data that is not UTF-8 give nullopt.
std::optional<QString> fromStoredBytes(const QByteArray &data);

// Any C0 or C1 control character, DEL included. Such a token could split or forge a header.
bool hasControlCharacter(const QString &text);

// Trimmed; nullopt when nothing is left or a control character remains inside.
std::optional<QString> cleaned(const QString &text);

} // namespace TokenText
