#include "app/onboarding.h"

#include "app/appconfigurationlookup.h"
#include "base/settingsstore.h"
#include "homey/auth/tokenvalidation.h"
#include "homey/config/homeyconfig.h"
#include "homey/model/homeyerror.h"
#include "ports/keychainerror.h"

using namespace Qt::StringLiterals;

namespace {

QCoro::Task<> persistToken(std::shared_ptr<TokenStore> store, QString token, HomeyEndpoint endpoint)
{
    co_await store->save(token, AppConfiguration::service());
    SettingsStore defaults =
        AppConfiguration::isolated() ? SettingsStore(AppConfiguration::service()) : SettingsStore::standard();
    HomeyConfig::store(endpoint, defaults);
    defaults.setValue(AppConfiguration::explicitCredentialsKey, true);
}

} // namespace

void Onboarding::setShowing(bool showing)
{
    if (m_showing == showing)
        return;
    m_showing = showing;
    Q_EMIT showingChanged();
}

void Onboarding::setBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged();
}

void Onboarding::setChecking(bool checking)
{
    if (m_checking == checking)
        return;
    m_checking = checking;
    Q_EMIT checkingChanged();
}

void Onboarding::setHasToken(bool hasToken)
{
    if (m_hasToken == hasToken)
        return;
    m_hasToken = hasToken;
    Q_EMIT hasTokenChanged();
}

void Onboarding::setMessage(const std::optional<QString> &message)
{
    if (m_message == message)
        return;
    m_message = message;
    Q_EMIT messageChanged();
}

void Onboarding::setConnectionProblem(const std::optional<QString> &problem)
{
    if (m_connectionProblem == problem)
        return;
    m_connectionProblem = problem;
    Q_EMIT connectionProblemChanged();
}

void Onboarding::setRetrying(bool retrying)
{
    if (m_retrying == retrying)
        return;
    m_retrying = retrying;
    Q_EMIT retryingChanged();
}

QCoro::Task<std::optional<HomeyEndpoint>> Onboarding::save(QString key, ResolveStep resolve,
                                                           ValidateStep validate, PersistStep persist)
{
    if (m_busy)
        co_return std::nullopt;
    const QString token = key.trimmed();
    if (token.isEmpty()) {
        setMessage(u"Plak eerst je API-sleutel."_s);
        co_return std::nullopt;
    }
    setBusy(true);
    setChecking(true);
    setMessage(std::nullopt);

    std::optional<HomeyEndpoint> endpoint;
    std::exception_ptr failure;
    try {
        endpoint = co_await resolve();
        co_await validate(endpoint->baseURL, token);
        co_await persist(token, *endpoint);
    } catch (...) {
        failure = std::current_exception();
    }
    setChecking(false);
    if (failure) {
        setMessage(explain(failure));
        setBusy(false);
        co_return std::nullopt;
    }
    setHasToken(true);
    setBusy(false);
    co_return endpoint;
}

Onboarding::ResolveStep Onboarding::defaultResolve(std::shared_ptr<ServiceBrowser> browser)
{
    return [browser] { return AppConfiguration::endpoint(browser); };
}

Onboarding::ValidateStep Onboarding::defaultValidate()
{
    return [](QUrl baseURL, QString token) { return validateToken(std::move(baseURL), std::move(token)); };
}

Onboarding::PersistStep Onboarding::defaultPersist(std::shared_ptr<TokenStore> store)
{
    return [store](QString token, HomeyEndpoint endpoint) {
        return persistToken(store, std::move(token), std::move(endpoint));
    };
}

QString Onboarding::Explanation::text() const
{
    return description.isEmpty() ? advice : description + u" "_s + advice;
}

QString Onboarding::explain(const std::exception &error)
{
    return explained(error).text();
}

QString Onboarding::explain(const std::exception_ptr &error)
{
    return explained(error).text();
}

Onboarding::Explanation Onboarding::explained(const std::exception &error)
{
    if (const auto *homey = dynamic_cast<const HomeyError *>(&error)) {
        switch (homey->kind()) {
        case HomeyError::Kind::decoding:
            return {
                {},
                u"Dit adres gaf geen herkenbaar Homey-antwoord. Probeer opnieuw of controleer je Homey."_s};
        case HomeyError::Kind::notConfigured:
            // Nothing answered the search: the same checks as for a hub that does not answer.
            return {{},
                    u"Geen Homey gevonden. "_s + HomeyError::recovery(HomeyError::Kind::unreachable) +
                        u" Probeer daarna opnieuw."_s};
        case HomeyError::Kind::unreachable:
        case HomeyError::Kind::http:
        case HomeyError::Kind::socket:
        case HomeyError::Kind::offline:
        case HomeyError::Kind::unauthorized:
            return {homey->errorDescription(), homey->recovery()};
        }
    }
    if (const auto *keychain = dynamic_cast<const KeychainError *>(&error)) {
        if (keychain->kind() == KeychainError::Kind::Denied)
            return {keychain->errorDescription(),
                    u"Ontgrendel de sleutelbos als daarom gevraagd wordt. Blijft het misgaan, koppel "
                    u"je Homey dan opnieuw."_s};
        return {keychain->errorDescription(), u"Koppel je Homey opnieuw via Instellingen."_s};
    }
    return {{}, u"Verbinden is niet gelukt. Controleer je netwerk en probeer opnieuw."_s};
}

Onboarding::Explanation Onboarding::explained(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return explained(e);
    } catch (...) {
        return explained(std::exception());
    }
}
