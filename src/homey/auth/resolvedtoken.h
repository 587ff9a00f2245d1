#pragma once

#include "homey/auth/tokensource.h"

#include <QString>

struct ResolvedToken {
    QString token; // never empty, trimmed, free of control characters
    TokenSource source = TokenSource::Keychain;

    bool operator==(const ResolvedToken &) const = default;
};
