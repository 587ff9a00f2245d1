#pragma once

#include "app/hotkeycombo.h"
#include "app/statusitemlook.h"
#include "homey/model/connectionstate.h"
#include "ports/systemtray.h"

#include <memory>
#include <optional>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class FileManager;
class HubSession;
class NotificationFeed;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;

// The tray icon with its menu: the connection state, the unread count and the hot key at a glance.
// What the user picks is reported through the signals; the application decides what happens.
class StatusItemController : public QObject {
    Q_OBJECT

public:
    // The application's tray icon, in the desktop's tray. Nullptr in a test instance, which needs no tray.
    // Where the desktop has no tray yet, the log lines and a notice say what still opens the panel, and the
    // icon comes when a tray does. hotKey is the global hot key; none where the desktop allows none.
    // files shows the log; none: only its folder can open.
    static std::unique_ptr<StatusItemController> setUp(bool testInstance, std::shared_ptr<SystemTray> tray,
                                                       const std::optional<HotKeyCombo> &hotKey,
                                                       std::shared_ptr<FileManager> files = {});
    ~StatusItemController() override;

    // The icon shows at most one new count in this time: the first of a burst at once, the latest of
    // the rest when it is over; no count at once. The tooltip and the menu have every count at once.
    static constexpr int countInterval = 1000;

    void apply(const ConnectionState &state);
    // A different count is in the tooltip and menu at once, and on the icon as countInterval says; an
    // equal one changes nothing.
    void applyUnread(int unread);
    // The hot key that menu and tooltip show: the one registered; none where the desktop allows none.
    void setHotKey(const std::optional<HotKeyCombo> &hotKey);
    void buildMenu();

    // Keeps the icon on the session's connection and the feed's unread count, from now on. Following
    // another ends following the previous one.
    void follow(HubSession *session);
    void follow(NotificationFeed *feed);

    // The log line and the notice for a desktop without a tray.
    static void reportMissingIcon(const QString &detail, const std::optional<HotKeyCombo> &hotKey,
                                  std::shared_ptr<FileManager> files);
    // Shows the log file in the file manager.
    static void revealLog(const std::shared_ptr<FileManager> &files);

    // Nullptr until the desktop has a tray.
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QMenu *menu() const { return m_menu.get(); }

Q_SIGNALS:
    void toggleRequested();
    void notificationsRequested();
    void reconnectRequested();
    void settingsRequested();
    void quitRequested();

private:
    StatusItemController(std::shared_ptr<SystemTray> tray, const std::optional<HotKeyCombo> &hotKey,
                         std::shared_ptr<FileManager> files);
    // Puts the icon in the tray that is there now, with the look of now.
    void dock();
    void trayChanged();
    void clicked(int reason);
    void draw();
    // Shows this look: the tooltip at once, the icon as apply() says.
    void show(StatusItemLook look);

    std::shared_ptr<SystemTray> m_systemTray;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon *m_tray = nullptr;
    QPointer<QAction> m_notificationsItem;
    QPointer<QAction> m_reconnectItem;
    ConnectionState m_connection;
    // What the icon and its tooltip are to show, and what the icon shows now; none before the first
    // apply.
    std::optional<StatusItemLook> m_look;
    // The look of the current state without a count: a new count only adds its own texts to it.
    std::optional<StatusItemLook> m_uncounted;
    std::optional<StatusItemLook> m_drawn;
    QTimer *m_countTimer = nullptr;
    int m_unread = 0;
    std::optional<HotKeyCombo> m_hotKey;
    std::shared_ptr<FileManager> m_files;
    QMetaObject::Connection m_connectionLink;
    QMetaObject::Connection m_feedLink;
};
