#pragma once

#include "app/appservices.h"
#include "base/settingsstore.h"
#include "store/home/homestore.h"

#include <exception>
#include <memory>
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
// failure ends in the onboarding model. Owns the current store; until a boot succeeds that is a store
// without a hub. Lives on the main thread.
class HubSession : public QObject {
    Q_OBJECT

public:
    struct Options {
        AppServices services;
        // The process arguments, the program path first.
        QStringList arguments;
        HomeStore::Options store;
    };

    // The onboarding model, the panel and the feed outlive the session.
    HubSession(Options options, Onboarding *onboarding, PanelController *panel, NotificationFeed *feed,
               QObject *parent = nullptr);

    HomeStore *store() const { return m_store; }
    HomeyRESTClient *restClient() const { return m_restClient.get(); }

    // Never throws.
    QCoro::Task<> boot();
    void swapStore(HomeStore *store, std::shared_ptr<HomeyRESTClient> client);
    // Resyncs a live store, boots again otherwise; returns at once.
    void reconnect();
    // Deletes the token and the stored hub and falls back to a store without a hub.
    void forgetToken();
    QString connectionSummary() const;
    // The pasted key checked and kept, then a boot; false with the reason in the onboarding model.
    QCoro::Task<bool> saveToken(QString key);

    // Where the store keeps its settings: a test run's own suite, else the user's.
    static SettingsStore storeDefaults();

Q_SIGNALS:
    // A new store is current; old, the one it replaced, goes on the next event-loop turn.
    void storeSwapped(HomeStore *old);

private:
    HomeStore *makePlaceholderStore();
    static QCoro::Task<> bootTask(QPointer<HubSession> self);
    static QCoro::Task<> reconnectTask(QPointer<HubSession> self);
    static QCoro::Task<> forgetTask(QPointer<HubSession> self);
    static QCoro::Task<bool> saveTask(QPointer<HubSession> self, QString key);
    void reportBootFailure(const std::exception_ptr &error);

    const Options m_options;
    Onboarding *const m_onboarding;
    PanelController *const m_panel;
    NotificationFeed *const m_feed;
    QPointer<HomeStore> m_store;
    std::shared_ptr<HomeyRESTClient> m_restClient;
};
