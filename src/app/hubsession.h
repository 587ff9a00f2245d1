#pragma once

#include "app/appservices.h"
#include "app/bootretry.h"
#include "app/startproblem.h"
#include "base/settingsstore.h"
#include "store/home/homestore.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class HomeyRESTClient;
class NotificationFeed;
class Onboarding;
class PanelController;

// The session with the hub: the boot (token, endpoint, token check, then a new home store over the
// hub's clients in place of the old one), reconnecting, and saving or forgetting the token. Every
// failure ends in the onboarding model; one that can pass by itself is tried again after a pause on the
// store's clock, until a boot gets through or the person acts. Owns the current store; until a boot
// succeeds that is a store without a hub. Lives on the main thread.
class HubSession : public QObject {
    Q_OBJECT

public:
    struct Options {
        AppServices services;
        // The process arguments, the program path first.
        QStringList arguments;
        // Its clock also times the pauses between attempts of a failed boot.
        HomeStore::Options store;
        // Uniform in [0, 1], for the pauses' jitter; empty: a real random source.
        std::function<double()> random;
    };

    // The onboarding model, the panel and the feed outlive the session.
    HubSession(Options options, Onboarding *onboarding, PanelController *panel, NotificationFeed *feed,
               QObject *parent = nullptr);

    HomeStore *store() const { return m_store; }
    HomeyRESTClient *restClient() const { return m_restClient.get(); }

    // Never throws.
    QCoro::Task<> boot();
    void swapStore(HomeStore *store, std::shared_ptr<HomeyRESTClient> client);
    // Resyncs a live store, boots again otherwise at once, with the pauses of later attempts back at
    // their first step; returns at once.
    void reconnect();
    // Deletes the token and the stored hub and falls back to a store without a hub; a start under way
    // gives way to it.
    void forgetToken();
    // The connection as the tray, the settings window and the log tell it: the store's, or what went
    // wrong with a start that did not get through.
    ConnectionState connection() const;
    // A start did not get through, and connection() says so; the session logs such a start itself.
    bool startFailed() const { return m_problem.has_value(); }
    // An attempt of the program's own runs, which gives way to whatever the person does with the key.
    bool attempting() const { return m_running == Start::attempt; }
    QString connectionSummary() const;
    // The pasted key checked and kept, then a boot; false with the reason in the onboarding model. A
    // start under way gives way to it.
    QCoro::Task<bool> saveToken(QString key);

    // Where the store keeps its settings: a test run's own suite, else the user's.
    static SettingsStore storeDefaults();

Q_SIGNALS:
    // A new store is current; old, the one it replaced, goes on the next event-loop turn.
    void storeSwapped(HomeStore *old);
    // connection() says something else now.
    void connectionChanged();

private:
    // What runs: nothing, an attempt after a pause, or a start asked for (the launch's, the person's
    // retry, the boot after a saved key).
    enum class Start { none, attempt, asked };

    HomeStore *makePlaceholderStore();
    // automatic: an attempt after a pause, which leaves the problem screen up until it knows better.
    static QCoro::Task<> bootTask(QPointer<HubSession> self, bool automatic);
    static QCoro::Task<> retryTask(QPointer<HubSession> self, BootRetry::Pause pause);
    // Starts the attempt whose pause is over, unless the person is busy with the key.
    void attemptWhenFree();
    static QCoro::Task<> reconnectTask(QPointer<HubSession> self);
    static QCoro::Task<> forgetTask(QPointer<HubSession> self);
    static QCoro::Task<bool> saveTask(QPointer<HubSession> self, QString key);
    // A start begins; its number, which stays current until another start or the person takes over.
    quint64 beginStart(bool automatic);
    bool isCurrent(quint64 start) const { return m_start == start; }
    void endStart();
    // The person's save or forget (`what`) goes before a start under way: that one ends here, unheard,
    // and an attempt of the program's own comes again as soon as the person is done.
    void giveWay(const QString &what);
    void reportBootFailure(const std::exception_ptr &error, bool automatic);
    // The failure of a store whose first load failed for a reason that can pass; null otherwise.
    static std::exception_ptr passingLoadFailure(const HomeStore &store);
    // A boot got through the key check: the retrying ends, and the log says so after a failure, and
    // whether the home loaded.
    void reached(bool automatic, bool loaded);
    // Ends the retrying; a failed start then no longer says that it keeps trying.
    void stopRetrying();
    // The only writer of the problem screen's advice and of whether it keeps trying.
    void setProblem(const std::optional<StartProblem> &problem);
    void announce();

    const Options m_options;
    Onboarding *const m_onboarding;
    PanelController *const m_panel;
    NotificationFeed *const m_feed;
    QPointer<HomeStore> m_store;
    std::shared_ptr<HomeyRESTClient> m_restClient;
    BootRetry m_retry;
    // The attempt whose pause is over and that waits for the person to leave the key screen.
    std::optional<BootRetry::Pause> m_due;
    Start m_running = Start::none;
    quint64 m_start = 0;
    // The store the running start made, once it is in place.
    QPointer<HomeStore> m_startStore;
    // A start asked for runs and its store has not begun: until it has, the connection is being made,
    // whatever the stopped store it replaces says.
    bool m_connecting = false;
    // The start that did not get through; none while one runs after the person's own action, and once
    // one got through.
    std::optional<StartProblem> m_problem;
    ConnectionState m_shown;
    // What the log last said went wrong in this run of failures; none once a boot got through.
    std::optional<QString> m_loggedFailure;
};
