#include "homey/auth/tokenresolver.h"

#include "base/async/cancelled.h"
#include "base/regularfile.h"
#include "homey/auth/tokentext.h"
#include "homey/config/homeyconfig.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace TokenResolver {

namespace {

// A token member of one hub entry of the tool's settings, when it is usable.
std::optional<QString> plausibleTokenOf(const QJsonValue &entry)
{
    if (!entry.isObject())
        return std::nullopt;
    const QJsonValue token = entry.toObject().value(u"token"_s);
    if (!token.isString())
        return std::nullopt;
    std::optional<QString> cleaned = TokenText::cleaned(token.toString());
    if (!cleaned || !isPlausibleToken(*cleaned))
        return std::nullopt;
    return cleaned;
}

} // namespace

QCoro::Task<std::optional<ResolvedToken>> resolve(bool allowDeveloperFallbacks,
                                                  std::shared_ptr<TokenStore> store,
                                                  std::optional<QMap<QString, QString>> environment)
{
    try {
        const std::optional<QString> stored = co_await store->load(TokenStore::defaultService);
        if (stored) {
            if (std::optional<QString> token = TokenText::cleaned(*stored))
                co_return ResolvedToken{*token, TokenSource::Keychain};
        }
    } catch (const Cancelled &) {
        throw;
    } catch (const std::exception &) {
        // An unreadable keyring is just a source without a token.
    }

    if (!allowDeveloperFallbacks)
        co_return std::nullopt;

    if (std::optional<QString> token = fromAthomCLI())
        co_return ResolvedToken{*token, TokenSource::AthomCLI};

    if (!environment)
        environment = HomeyConfig::environmentValues();
    if (std::optional<QString> token = fromEnvironment(*environment))
        co_return ResolvedToken{*token, TokenSource::Environment};
    co_return std::nullopt;
}

std::optional<QString> fromAthomCLI()
{
    return fromAthomCLISettings(QDir::homePath() + u"/.athom-cli/settings.json"_s);
}

std::optional<QString> fromAthomCLISettings(const QString &path)
{
    const std::optional<QByteArray> content = RegularFile::read(path);
    if (!content)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(*content);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject settings = document.object();
    const QJsonValue homeyAPI = settings.value(u"homeyApi"_s);
    if (!homeyAPI.isObject())
        return std::nullopt;
    const QJsonObject hubs = homeyAPI.toObject();

    const QJsonValue active = settings.value(u"activeHomey"_s);
    if (active.isObject()) {
        const QJsonValue id = active.toObject().value(u"id"_s);
        if (id.isString()) {
            if (std::optional<QString> token = plausibleTokenOf(hubs.value(u"homey-"_s + id.toString())))
                return token;
        }
    }
    for (auto it = hubs.constBegin(); it != hubs.constEnd(); ++it) {
        if (!it.key().startsWith(u"homey-"_s))
            continue;
        if (std::optional<QString> token = plausibleTokenOf(it.value()))
            return token;
    }
    return std::nullopt;
}

std::optional<QString> fromEnvironment(const QMap<QString, QString> &values)
{
    const auto dev = values.constFind(u"QUORVANE_DEV_TOKEN"_s);
    const QString value = dev != values.constEnd() ? *dev : values.value(u"HOMEY_TOKEN"_s);
    return TokenText::cleaned(value);
}

bool isPlausibleToken(const QString &text)
{
    if (TokenText::hasControlCharacter(text))
        return false;
    const QStringList pieces = text.split(u':', Qt::SkipEmptyParts);
    return pieces.size() == 3 && pieces[0].size() == 36 && pieces[1].size() == 36 && pieces[2].size() >= 20;
}

} // namespace TokenResolver
