#include "homey/auth/tokensource.h"

using namespace Qt::StringLiterals;

QString rawValue(TokenSource source)
{
    switch (source) {
    case TokenSource::Keychain:
        return u"keychain"_s;
    case TokenSource::AthomCLI:
        return u"athomCLI"_s;
    case TokenSource::Environment:
        return u"environment"_s;
    }
    return {};
}

std::optional<TokenSource> tokenSourceFromRawValue(const QString &raw)
{
    for (TokenSource source : {TokenSource::Keychain, TokenSource::AthomCLI, TokenSource::Environment}) {
        if (rawValue(source) == raw)
            return source;
    }
    return std::nullopt;
}
