#pragma once

#include "homey/auth/homeyidentity.h"
#include "homey/config/homeyendpoint.h"
#include "ports/servicebrowser.h"
#include "ports/tokenstore.h"

#include <exception>
#include <functional>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

// What the onboarding and connection-problem screens show, and the check and storage of a pasted key.
// Every property announces only a real change.
class Onboarding : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool showing READ showing WRITE setShowing NOTIFY showingChanged)
    // A boot, a check of the person's key or a deletion of the key runs.
    Q_PROPERTY(bool busy READ busy WRITE setBusy NOTIFY busyChanged)
    // The person's own key is being checked: the only work the key screen shows as a check.
    Q_PROPERTY(bool checking READ checking NOTIFY checkingChanged)
    Q_PROPERTY(bool hasToken READ hasToken WRITE setHasToken NOTIFY hasTokenChanged)
    // Empty when there is none.
    Q_PROPERTY(QString message READ messageText NOTIFY messageChanged)
    Q_PROPERTY(QString connectionProblem READ connectionProblemText NOTIFY connectionProblemChanged)
    // A failed boot will be tried again by itself.
    Q_PROPERTY(bool retrying READ retrying WRITE setRetrying NOTIFY retryingChanged)

public:
    using ResolveStep = std::function<QCoro::Task<HomeyEndpoint>()>;
    using ValidateStep = std::function<QCoro::Task<HomeyIdentity>(QUrl baseURL, QString token)>;
    using PersistStep = std::function<QCoro::Task<>(QString token, HomeyEndpoint endpoint)>;

    using QObject::QObject;

    bool showing() const { return m_showing; }
    void setShowing(bool showing);
    bool busy() const { return m_busy; }
    void setBusy(bool busy);
    bool checking() const { return m_checking; }
    bool hasToken() const { return m_hasToken; }
    void setHasToken(bool hasToken);
    std::optional<QString> message() const { return m_message; }
    void setMessage(const std::optional<QString> &message);
    QString messageText() const { return m_message.value_or(QString()); }
    std::optional<QString> connectionProblem() const { return m_connectionProblem; }
    void setConnectionProblem(const std::optional<QString> &problem);
    QString connectionProblemText() const { return m_connectionProblem.value_or(QString()); }
    bool retrying() const { return m_retrying; }
    void setRetrying(bool retrying);

    // Checks the trimmed key against the hub that `resolve` finds and keeps it with `persist`. The
    // endpoint on success; otherwise nullopt with the reason in message, except that a call while
    // another runs returns at once and changes nothing.
    QCoro::Task<std::optional<HomeyEndpoint>> save(QString key, ResolveStep resolve, ValidateStep validate,
                                                   PersistStep persist);

    // The steps the panel's save action uses.
    static ResolveStep defaultResolve(std::shared_ptr<ServiceBrowser> browser);
    static ValidateStep defaultValidate();
    // The token in the keyring under this run's service (a failure there stops everything), then the
    // endpoint and the explicit-credentials flag in this run's settings suite.
    static PersistStep defaultPersist(std::shared_ptr<TokenStore> store);

    // explain() in its two parts: the failure's own description, empty where the advice stands alone,
    // and what to do about it.
    struct Explanation {
        QString description;
        QString advice;
        QString text() const;
    };

    // The Dutch advice for a failure of the hub layer or the keyring; a fixed text for anything else.
    static QString explain(const std::exception &error);
    static QString explain(const std::exception_ptr &error);
    static Explanation explained(const std::exception &error);
    static Explanation explained(const std::exception_ptr &error);

Q_SIGNALS:
    void showingChanged();
    void busyChanged();
    void checkingChanged();
    void hasTokenChanged();
    void messageChanged();
    void connectionProblemChanged();
    void retryingChanged();

private:
    void setChecking(bool checking);

    bool m_showing = false;
    bool m_busy = false;
    bool m_checking = false;
    bool m_hasToken = false;
    std::optional<QString> m_message;
    std::optional<QString> m_connectionProblem;
    bool m_retrying = false;
};
