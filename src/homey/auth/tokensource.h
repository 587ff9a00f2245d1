#pragma once

#include <optional>
#include <QString>

// Where a resolved token came from.
enum class TokenSource { Keychain, AthomCLI, Environment };

QString rawValue(TokenSource source);
// Exact match of the raw value only.
std::optional<TokenSource> tokenSourceFromRawValue(const QString &raw);
