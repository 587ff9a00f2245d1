// Where the application meets the desktop: the tray icon, the global hot key, banners, the settings
// window. Each may be missing (no tray host, Wayland, no notification server); the application then runs
// without it and the signals and a second start still show the panel.
#include "app/appdelegate.h"
#include "app/boot.h"
#include "app/hotkeycontrol.h"
#include "app/notifier.h"
#include "app/onboarding.h"
#include "app/paneltoggle.h"
#include "app/settings.h"
#include "app/settingswindowcontroller.h"
#include "app/startproblem.h"
#include "app/statusitemcontroller.h"
#include "base/log.h"
#include "homey/model/homeyerror.h"
#include "platform/freedesktopbannerservice.h"
#include "platform/freedesktopfilemanager.h"
#include "platform/freedesktopsystemtray.h"
#include "platform/portaldesktopsettings.h"
#include "platform/x11hotkeygrabber.h"
#include "platform/x11windowmanager.h"

using namespace Qt::StringLiterals;

std::shared_ptr<BannerService> AppDelegate::bannersOf(const Options &options)
{
    if (options.banners)
        return options.banners;
    return std::make_shared<FreedesktopBannerService>();
}

std::shared_ptr<SystemTray> AppDelegate::systemTrayOf(const Options &options)
{
    if (options.systemTray)
        return options.systemTray;
    return std::make_shared<FreedesktopSystemTray>();
}

AppDelegate::Options AppDelegate::withDesktopDefaults(Options options)
{
    if (!options.fileManager)
        options.fileManager = std::make_shared<FreedesktopFileManager>();
    if (!options.desktopSettings)
        options.desktopSettings = std::make_shared<PortalDesktopSettings>();
    if (!options.panel.windowManager)
        options.panel.windowManager = std::make_shared<X11WindowManager>();
    return options;
}

void AppDelegate::makeDesktop()
{
    const QPointer self(this);
    m_grabber = m_options.hotKeyGrabber;
    if (!m_grabber)
        m_grabber = std::make_shared<X11HotKeyGrabber>();
    m_toggle = std::make_unique<PanelToggle>(PanelToggle::Panel{
                                                 [self] { return self && self->m_panel->isVisible(); },
                                                 [self] {
                                                     if (self)
                                                         self->m_panel->show();
                                                 },
                                                 [self](const QString &reason) {
                                                     if (self)
                                                         self->m_panel->hide(reason);
                                                 },
                                             },
                                             m_options.panel.clock);
    m_hotKeys = std::make_unique<HotKeyControl>(*m_grabber, *m_tester, *m_toggle,
                                                Boot::isTestInstance(m_options.arguments));
    connect(m_hotKeys.get(), &HotKeyControl::shownComboChanged, this, &AppDelegate::shownHotKeyChanged);
    // A click on a banner: the panel on its notification list, in whatever store is current then.
    m_notifier->setOnOpen([self] {
        if (self)
            self->openNotifications();
    });
}

void AppDelegate::setUpStatusItem()
{
    // A test instance leaves the tray to the user's copy, and needs no watch on it.
    const bool testInstance = Boot::isTestInstance(m_options.arguments);
    m_statusItem = StatusItemController::setUp(testInstance, testInstance ? nullptr : systemTrayOf(m_options),
                                               globalHotKey(), m_options.fileManager);
    if (!m_statusItem)
        return;
    StatusItemController *item = m_statusItem.get();
    connect(item, &StatusItemController::toggleRequested, this, [this] { m_toggle->toggle(); });
    connect(item, &StatusItemController::notificationsRequested, this, &AppDelegate::openNotifications);
    connect(item, &StatusItemController::reconnectRequested, m_hub, &HubSession::reconnect);
    connect(item, &StatusItemController::settingsRequested, this, &AppDelegate::openSettings);
    connect(item, &StatusItemController::quitRequested, this, &AppDelegate::quitRequested);
}

bool AppDelegate::hasStatusItem() const
{
    return m_statusItem && m_statusItem->trayIcon();
}

void AppDelegate::setUpHotKey()
{
    m_hotKeys->setUp();
}

bool AppDelegate::hasHotKey() const
{
    return m_hotKeys->isRegistered();
}

bool AppDelegate::changeHotKey(const HotKeyCombo &to)
{
    return m_hotKeys->changeHotKey(to);
}

std::optional<HotKeyCombo> AppDelegate::globalHotKey() const
{
    if (!m_hotKeys->desktopAllowsGrab())
        return std::nullopt;
    return m_hotKeys->shownCombo();
}

QString AppDelegate::hotKeyLabel() const
{
    const std::optional<HotKeyCombo> hotKey = globalHotKey();
    return hotKey ? hotKey->display() : QString();
}

void AppDelegate::shownHotKeyChanged()
{
    // Menu, tooltip and the palette's hint name the combination that is registered now.
    if (m_statusItem)
        m_statusItem->setHotKey(globalHotKey());
    m_panel->setContent(makePaletteRoot());
}

void AppDelegate::observeConnection()
{
    // The session follows whichever store is current, and says what a start that did not get through
    // came to.
    disconnect(m_connectionWatch);
    m_connectionWatch = connect(m_hub, &HubSession::connectionChanged, this,
                                &AppDelegate::connectionDidChange, Qt::QueuedConnection);
    if (m_statusItem)
        m_statusItem->follow(m_hub);
    if (m_settingsWindow)
        m_settingsWindow->follow(m_hub);
}

void AppDelegate::connectionDidChange()
{
    const ConnectionState state = m_hub->connection();
    const std::optional<HomeyError> &error = store()->lastError();
    if (error && StartProblem::needsPairingAfter(std::make_exception_ptr(*error))) {
        m_onboarding->setMessage(Onboarding::explain(*error));
        m_onboarding->setShowing(true);
    }
    // A start that did not get through has its own lines, one for each attempt.
    if (m_lastLoggedConnection != state) {
        m_lastLoggedConnection = state;
        if (!m_hub->startFailed())
            log(u"verbinding: "_s + m_hub->connectionSummary());
    }
    // The home came after the start's prewarm, in a new palette: drawn now, while nobody waits, the first
    // show costs what every later one does.
    if (state == ConnectionState::live() && m_prewarmedStore != store()) {
        m_prewarmedStore = store();
        if (!m_panel->isVisible())
            store()->drawAhead([this] { m_panel->prewarm(u"huis live"_s); });
    }
}

void AppDelegate::observeUnread()
{
    if (m_statusItem)
        m_statusItem->follow(m_feed);
}

bool AppDelegate::bannersShown() const
{
    return m_notifier->permissionKind() == Notifier::PermissionKind::Granted;
}

void AppDelegate::push(const HomeyNotification &notification, bool timeSensitive)
{
    m_notifier->show(notification, timeSensitive);
}

void AppDelegate::openSettings()
{
    if (!m_settingsWindow) {
        const QPointer self(this);
        SettingsModel::Hooks hooks;
        hooks.connectionText = [self] { return self ? self->m_hub->connectionSummary() : QString(); };
        hooks.onConfigure = [self] {
            if (self)
                self->openOnboarding();
        };
        hooks.onHotKeyChange = [self](const HotKeyCombo &to) { return self && self->changeHotKey(to); };
        hooks.globalHotKey = m_hotKeys->desktopAllowsGrab();
        hooks.fileManager = m_options.fileManager;
        m_settingsWindow =
            new SettingsWindowController(*m_engine, *m_tester, *m_feed, *m_notifier, std::move(hooks), this);
        m_settingsWindow->follow(m_hub);
        connect(m_settingsWindow, &SettingsWindowController::quitRequested, this,
                &AppDelegate::quitRequested);
    }
    m_settingsWindow->show();
}
