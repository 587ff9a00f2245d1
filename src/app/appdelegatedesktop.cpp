// Where the application meets the desktop: the tray icon, the global hot key, banners, the settings
// window. Until those exist each takes the way the application runs without it: no tray icon, no hot
// key (the signals and a second start still show the panel), banners dropped.
#include "app/appdelegate.h"
#include "app/boot.h"
#include "app/hotkeycombo.h"
#include "app/onboarding.h"
#include "base/log.h"
#include "homey/model/homeyerror.h"

using namespace Qt::StringLiterals;

void AppDelegate::setUpStatusItem()
{
    if (Boot::isTestInstance(m_options.arguments))
        log(u"testmodus: geen statusitem (het systeemvak blijft van de app van de gebruiker)"_s);
}

bool AppDelegate::hasStatusItem() const
{
    return false;
}

void AppDelegate::setUpHotKey()
{
    if (Boot::isTestInstance(m_options.arguments)) {
        log(u"testmodus: geen global hotkey ("_s + HotKeyCombo::standard().display() +
            u" blijft van de app van de gebruiker)"_s);
    }
}

bool AppDelegate::hasHotKey() const
{
    return false;
}

void AppDelegate::observeConnection()
{
    // Only the current store is watched: a store swapped out says nothing more.
    disconnect(m_connectionWatch);
    m_connectionWatch = connect(m_store, &HomeStore::connectionChanged, this,
                                &AppDelegate::connectionDidChange, Qt::QueuedConnection);
}

void AppDelegate::connectionDidChange()
{
    const ConnectionState state = m_store->connection();
    const std::optional<HomeyError> &error = m_store->lastError();
    if (error && error->kind() == HomeyError::Kind::unauthorized) {
        m_onboarding->setMessage(Onboarding::explain(HomeyError::unauthorized()));
        m_onboarding->setShowing(true);
    }
    if (m_lastLoggedConnection != state) {
        m_lastLoggedConnection = state;
        log(u"verbinding: "_s + connectionSummary());
    }
}

void AppDelegate::observeUnread()
{
    // Only a tray icon shows the unread count.
}

bool AppDelegate::notifierAvailable() const
{
    return false;
}

void AppDelegate::push(const HomeyNotification &, bool)
{
    // Without banners the feed's items stay in the panel's list only.
}

void AppDelegate::openSettings()
{
    // There is no settings window yet.
}
