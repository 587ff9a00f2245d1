#include "app/statusitemcontroller.h"

#include "app/appinfo.h"
#include "app/hubsession.h"
#include "app/logreveal.h"
#include "app/notraynotice.h"
#include "app/settings.h"
#include "app/statusicon.h"
#include "app/statusitemlook.h"
#include "base/log.h"
#include "store/notifications/notificationfeed.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

std::unique_ptr<StatusItemController> StatusItemController::setUp(bool testInstance,
                                                                  std::shared_ptr<SystemTray> tray,
                                                                  const std::optional<HotKeyCombo> &hotKey,
                                                                  std::shared_ptr<FileManager> files)
{
    if (testInstance) {
        log(u"testmodus: geen statusitem (het systeemvak blijft van de app van de gebruiker)"_s);
        return nullptr;
    }
    std::unique_ptr<StatusItemController> controller(
        new StatusItemController(std::move(tray), hotKey, std::move(files)));
    if (controller->m_tray) {
        log(u"statusitem: ok (button=in het systeemvak, zichtbaar="_s +
            (controller->m_tray->isVisible() ? u"true"_s : u"false"_s) + u")"_s);
        return controller;
    }
    // The program runs on without the icon, and puts it in the tray once there is one.
    log(u"!! statusitem: deze desktop heeft (nog) geen systeemvak: geen StatusNotifierItem-host op de "
        u"sessiebus en geen XEmbed-systeemvak op het scherm."_s);
    reportMissingIcon(u"Quorvane wacht op een systeemvak. Verschijnt er een, bijvoorbeeld als het paneel "
                      u"van je desktop later start, dan komt het icoon er vanzelf in."_s,
                      hotKey, controller->m_files);
    log(u"!! verder zonder systeemvak-icoon. "_s +
        (hotKey ? u"De sneltoets blijft de ingang."_s
                : u"Een tweede start van 'quorvane' toont het paneel."_s));
    return controller;
}

StatusItemController::StatusItemController(std::shared_ptr<SystemTray> tray,
                                           const std::optional<HotKeyCombo> &hotKey,
                                           std::shared_ptr<FileManager> files)
    : m_systemTray(std::move(tray)), m_menu(std::make_unique<QMenu>()), m_countTimer(new QTimer(this)),
      m_hotKey(hotKey), m_files(std::move(files))
{
    m_countTimer->setSingleShot(true);
    m_countTimer->setInterval(countInterval);
    connect(m_countTimer, &QTimer::timeout, this, &StatusItemController::draw);
    apply(ConnectionState::idle());
    buildMenu();
    // No tray icon before there is a tray: the toolkit decides once, as its icon is made, whether it
    // talks to the session bus's tray, so an icon made earlier could never go there.
    if (m_systemTray->kind() != SystemTray::Kind::none)
        dock();
    else
        m_systemTray->setOnChange([this] { trayChanged(); });
}

StatusItemController::~StatusItemController()
{
    m_systemTray->setOnChange({});
    // The tray must let go of the menu before the menu goes.
    delete m_tray;
}

void StatusItemController::dock()
{
    m_tray = new QSystemTrayIcon(this);
    m_tray->setContextMenu(m_menu.get());
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { clicked(int(reason)); });
    m_tray->setToolTip(m_look->tooltip);
    draw();
    m_tray->show();
}

void StatusItemController::trayChanged()
{
    const SystemTray::Kind kind = m_systemTray->kind();
    if (m_tray || kind == SystemTray::Kind::none)
        return;
    dock();
    log(u"statusitem: systeemvak verschenen ("_s +
        (kind == SystemTray::Kind::statusNotifier ? u"StatusNotifierItem op de sessiebus"_s : u"XEmbed"_s) +
        u"), het icoon staat er nu in"_s);
}

void StatusItemController::clicked(int reason)
{
    switch (QSystemTrayIcon::ActivationReason(reason)) {
    case QSystemTrayIcon::Trigger:
        // Control with a left click opens the menu, as a right click does.
        if (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier)
            m_menu->popup(QCursor::pos());
        else
            Q_EMIT toggleRequested();
        break;
    case QSystemTrayIcon::MiddleClick:
        Q_EMIT toggleRequested();
        break;
    case QSystemTrayIcon::Context:     // the tray opens the menu itself
    case QSystemTrayIcon::DoubleClick: // its first click has toggled already
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void StatusItemController::apply(const ConnectionState &state)
{
    m_connection = state;
    m_uncounted = StatusItemLook::of(state, 0, m_hotKey);
    show(m_uncounted->counted(m_unread));
}

void StatusItemController::show(StatusItemLook look)
{
    if (m_tray && (!m_look || look.tooltip != m_look->tooltip))
        m_tray->setToolTip(look.tooltip);
    m_look = std::move(look);
    // A new state shows at once, and so do a count after a quiet moment and the badge's going when all
    // is read. In a burst of notifications the rest wait for the timer, so that the icon is drawn about
    // once a second rather than once for each: each drawing costs the tray host a repaint as well.
    // Without a tray the look waits for one.
    if (m_tray && (!m_countTimer->isActive() || !m_drawn || m_look->symbol != m_drawn->symbol ||
                   m_look->opacity != m_drawn->opacity || m_look->badge.isEmpty()))
        draw();
    if (m_reconnectItem)
        m_reconnectItem->setEnabled(true);
}

void StatusItemController::draw()
{
    // Drawn and handed to the tray only when the picture changes: the tray host repaints at every new
    // icon, and the desktop is told of it.
    if (m_drawn && m_look->symbol == m_drawn->symbol && m_look->opacity == m_drawn->opacity &&
        m_look->badge == m_drawn->badge)
        return;
    if (m_drawn && m_look->badge != m_drawn->badge)
        m_countTimer->start();
    const StatusIcon::Drawn drawn = StatusIcon::draw(m_look->symbol, m_look->opacity, m_look->badge);
    if (!drawn.hasSymbol)
        log(u"!! statusitem: symbool '"_s + m_look->symbol +
            u"' niet beschikbaar, terugval op tekstlabel QV"_s);
    m_tray->setIcon(drawn.icon);
    m_drawn = m_look;
}

void StatusItemController::applyUnread(int unread)
{
    if (unread == m_unread)
        return;
    m_unread = unread;
    if (m_uncounted)
        show(m_uncounted->counted(unread));
    else
        apply(m_connection);
    if (m_notificationsItem)
        m_notificationsItem->setText(StatusMenu::notificationsTitle(unread));
}

void StatusItemController::setHotKey(const std::optional<HotKeyCombo> &hotKey)
{
    m_hotKey = hotKey;
    buildMenu();
    apply(m_connection);
}

void StatusItemController::buildMenu()
{
    m_menu->clear();
    for (const StatusMenu::Entry &entry : StatusMenu::entries(m_unread, m_hotKey, AppInfo::version())) {
        if (entry.separator) {
            m_menu->addSeparator();
            continue;
        }
        QAction *action = m_menu->addAction(entry.title);
        action->setEnabled(entry.enabled);
        if (!entry.shortcut.isEmpty())
            action->setShortcut(QKeySequence::fromString(entry.shortcut, QKeySequence::PortableText));
        switch (entry.action) {
        case StatusMenu::Action::none:
            break;
        case StatusMenu::Action::toggle:
            connect(action, &QAction::triggered, this, &StatusItemController::toggleRequested);
            break;
        case StatusMenu::Action::notifications:
            m_notificationsItem = action;
            connect(action, &QAction::triggered, this, &StatusItemController::notificationsRequested);
            break;
        case StatusMenu::Action::reconnect:
            m_reconnectItem = action;
            connect(action, &QAction::triggered, this, &StatusItemController::reconnectRequested);
            break;
        case StatusMenu::Action::settings:
            connect(action, &QAction::triggered, this, &StatusItemController::settingsRequested);
            break;
        case StatusMenu::Action::showLog:
            connect(action, &QAction::triggered, this, [this] { revealLog(m_files); });
            break;
        case StatusMenu::Action::quit:
            connect(action, &QAction::triggered, this, &StatusItemController::quitRequested);
            break;
        }
    }
}

void StatusItemController::follow(HubSession *session)
{
    disconnect(m_connectionLink);
    if (!session)
        return;
    m_connectionLink = connect(session, &HubSession::connectionChanged, this,
                               [this, session] { apply(session->connection()); });
    apply(session->connection());
}

void StatusItemController::follow(NotificationFeed *feed)
{
    disconnect(m_feedLink);
    if (!feed)
        return;
    m_feedLink =
        connect(feed, &NotificationFeed::unreadChanged, this, [this, feed] { applyUnread(feed->unread()); });
    applyUnread(feed->unread());
}

void StatusItemController::reportMissingIcon(const QString &detail, const std::optional<HotKeyCombo> &hotKey,
                                             std::shared_ptr<FileManager> files)
{
    log(u"!! GEEN SYSTEEMVAK-ICOON: "_s + detail);
    Log::shared().flush();
    // Once: a desktop without a tray stays so, and a notice at every start would only be in the way.
    if (Settings::noTrayNoticeShown()) {
        log(u"systeemvak: de melding hierover is al eens getoond"_s);
        return;
    }
    const NoTrayNotice notice = NoTrayNotice::make(
        hotKey ? NoTrayNotice::hotKeyWayIn(*hotKey) : NoTrayNotice::secondStartWayIn(), Log::fileURL());
    // Not modal: the launch goes on while the notice is up; the panel opens meanwhile.
    auto *alert = new QMessageBox(QMessageBox::Critical, u"Quorvane"_s, notice.title);
    alert->setInformativeText(notice.text);
    QPushButton *showLog = alert->addButton(u"Toon logboek"_s, QMessageBox::AcceptRole);
    alert->addButton(u"Doorgaan"_s, QMessageBox::RejectRole);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::NonModal);
    // In the panel's layer, which stays above other windows: the panel brings it in front of itself when
    // it shows (PanelController), and a window manager keeps a window of a lower layer under it.
    alert->setWindowFlag(Qt::WindowStaysOnTopHint);
    QObject::connect(alert, &QMessageBox::buttonClicked, alert, [showLog, files](QAbstractButton *button) {
        if (button == showLog)
            revealLog(files);
    });
    alert->show();
    alert->raise();
    alert->activateWindow();
    Settings::setNoTrayNoticeShown();
    log(u"systeemvak: melding getoond, eenmalig"_s);
}

void StatusItemController::revealLog(const std::shared_ptr<FileManager> &files)
{
    LogReveal::reveal(files, [](const QString &text) {
        auto *box = new QMessageBox(QMessageBox::Information, u"Quorvane"_s, text);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse);
        box->show();
        box->raise();
        box->activateWindow();
    });
}
