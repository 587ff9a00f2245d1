#pragma once

#include "app/appservices.h"
#include "app/hotkeycombo.h"
#include "app/hubsession.h"
#include "app/panelcontroller.h"
#include "app/probes/probeoutputs.h"
#include "base/settingsstore.h"
#include "homey/model/connectionstate.h"
#include "homey/model/homeynotification.h"
#include "ports/bannerservice.h"
#include "ports/hotkeygrabber.h"
#include "ports/systemtray.h"
#include "store/home/homestore.h"

#include <memory>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class DesktopMotionSetting;
class DesktopSettings;
class FileManager;
class HotKeyControl;
class HotKeyTester;
class Motion;
class MotionPreference;
class NotificationFeed;
class Notifier;
class Onboarding;
class PanelToggle;
class QQmlEngine;
class QQuickItem;
class SettingsWindowController;
class SignalWatcher;
class StatusItemController;

// The composition root: makes and owns every long-lived object of the application (onboarding model,
// panel, feed, hub session with its home store, tray icon, hot key, banners, settings window) and wires
// them together at launch. Lives on the main thread.
//
// appdelegate.cpp: construction, the launch sequence, the panel and its hooks; appdelegate_signals.cpp:
// the process signals and snapshots; appdelegate_desktop.cpp: tray icon, global hot key, banners and the
// settings window. The probes of the diagnostic switches (probes/) run after the boot, through the
// public members below.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    struct Options {
        // "--show", read by the process entry.
        bool showOnLaunch = false;
        // The process arguments, the program path first.
        QStringList arguments;
        AppServices services;
        // The desktop's global key grab and its banners; empty: X11's and the session bus's.
        std::shared_ptr<HotKeyGrabber> hotKeyGrabber;
        std::shared_ptr<BannerService> banners;
        // The desktop's file manager and settings; empty: the session bus's. The panel's window manager
        // (panel.windowManager); empty: X11's.
        std::shared_ptr<FileManager> fileManager;
        std::shared_ptr<DesktopSettings> desktopSettings;
        // The desktop's tray, watched for one that comes later; empty: the session bus's and X11's.
        std::shared_ptr<SystemTray> systemTray;
        PanelController::Options panel;
        HomeStore::Options store;
        // Where the diagnostic switches' probes report; empty outputs report nowhere and end nothing.
        ProbeOutputs probes;
    };

    // Options for this process: the switches of its command line, the desktop's services.
    static Options standardOptions(bool showOnLaunch);

    explicit AppDelegate(Options options, QObject *parent = nullptr);
    ~AppDelegate() override;

    // Start-up, in a fixed order with its log lines; the hub boot, and after it the probes of the
    // diagnostic switches, follow on the next event-loop turn.
    void applicationDidFinishLaunching();
    // The last log line, written out before returning.
    void applicationWillTerminate();

    // The current store: the hub session swaps it on every boot.
    HomeStore *store() const { return m_hub->store(); }
    HubSession *hub() const { return m_hub; }
    Onboarding *onboarding() const { return m_onboarding; }
    PanelController *panel() const { return m_panel; }
    NotificationFeed *feed() const { return m_feed; }
    // Nullptr until the first openSettings().
    SettingsWindowController *settingsWindow() const { return m_settingsWindow; }

    // --- Signals and snapshots (appdelegate_signals.cpp) ------------------------------------------------
    void setUpSignalHandler();
    // SIGUSR1.
    void showPanelOnSignal();
    // SIGUSR2: shows the panel, logs what it shows, and writes its picture on the next event-loop turn.
    void snapshotOnSignal();
    // "snapshot-toestand: query=... scope=... rijen=[...]" of the current store.
    QString snapshotStateLine() const;
    // panel.png next to the log; onboarding-<test id>.png in an isolated onboarding run.
    static QString snapshotPath();

    // --- Desktop integration (appdelegate_desktop.cpp) --------------------------------------------------
    // The settings window, made on the first call and brought forward on every call.
    void openSettings();
    // The pairing screen in the panel, unless a check or boot is running.
    void openOnboarding();
    // The panel on the notification list (a banner click, the tray menu).
    void openNotifications();
    // The settings window's change of the hot key: true when `to` is registered afterwards; on false the
    // combination registered before still is. Tray menu, tooltip and palette show what is registered.
    bool changeHotKey(const HotKeyCombo &to);
    // The hot key as the palette shows it: the registered combination, else the stored one; empty where
    // the desktop allows no global hot key.
    QString hotKeyLabel() const;

Q_SIGNALS:
    // The end of the run: SIGTERM or SIGINT, the tray menu's "Stop Quorvane", or Ctrl+Q in the panel or
    // the settings window.
    void quitRequested();

private:
    // --- appdelegate.cpp
    SettingsStore feedDefaults() const;
    void setUpPanel();
    QQuickItem *makePaletteRoot();
    void panelDidShow();
    void panelDidHide();
    // The panel's content and the store's followers move over to the new store.
    void storeDidSwap(HomeStore *old);
    static QCoro::Task<> launchTask(QPointer<AppDelegate> self);

    // --- appdelegate_desktop.cpp
    void setUpStatusItem();
    void setUpHotKey();
    void observeConnection();
    void observeUnread();
    void connectionDidChange();
    // A notification server takes our banners now (a session bus alone is not enough).
    bool bannersShown() const;
    void push(const HomeyNotification &notification, bool timeSensitive);
    // The icon is in a tray now; without one yet, it comes when a tray does.
    bool hasStatusItem() const;
    bool hasHotKey() const;
    // What menus, tooltips and notices name as the hot key; none where the desktop allows none.
    std::optional<HotKeyCombo> globalHotKey() const;
    static std::shared_ptr<BannerService> bannersOf(const Options &options);
    static std::shared_ptr<SystemTray> systemTrayOf(const Options &options);
    // The options with the desktop's own file manager, settings and window manager where none is given.
    static Options withDesktopDefaults(Options options);
    // The hot key's grabber, toggle and control (the grab itself waits for the launch), and what a
    // banner click does.
    void makeDesktop();
    void shownHotKeyChanged();

    const Options m_options;
    Onboarding *m_onboarding;
    PanelController *m_panel;
    HotKeyTester *m_tester;
    Notifier *m_notifier;
    NotificationFeed *m_feed;
    HubSession *m_hub;
    MotionPreference *m_motionPreference;
    DesktopMotionSetting *m_desktopMotion;
    Motion *m_motion;
    std::unique_ptr<QQmlEngine> m_engine;
    SignalWatcher *m_signals = nullptr;
    std::shared_ptr<HotKeyGrabber> m_grabber;
    std::unique_ptr<PanelToggle> m_toggle;
    // After the grabber and the toggle, which it uses until it is gone.
    std::unique_ptr<HotKeyControl> m_hotKeys;
    std::unique_ptr<StatusItemController> m_statusItem;
    SettingsWindowController *m_settingsWindow = nullptr;
    std::optional<ConnectionState> m_lastLoggedConnection;
    // The store whose home the hidden panel last drew ahead of a show.
    QPointer<HomeStore> m_prewarmedStore;
    QMetaObject::Connection m_connectionWatch;
};
