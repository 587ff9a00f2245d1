#include "app/appdelegate.h"

#include "app/appinfo.h"
#include "app/boot.h"
#include "app/hotkeycontrol.h"
#include "app/hotkeytester.h"
#include "app/notifier.h"
#include "app/onboarding.h"
#include "app/palettepanel.h"
#include "app/paletteroot.h"
#include "app/paneltoggle.h"
#include "app/probes/probes.h"
#include "app/settings.h"
#include "app/settingswindowcontroller.h"
#include "app/statusitemcontroller.h"
#include "base/appconfiguration.h"
#include "base/log.h"
#include "base/settingsstore.h"
#include "platform/desktopsession.h"
#include "store/notifications/notificationfeed.h"
#include "ui/desktopmotionsetting.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStyleHints>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <unistd.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

// A save that can no longer run: the application is going.
QCoro::Task<bool> declined()
{
    co_return false;
}

} // namespace

AppDelegate::Options AppDelegate::standardOptions(bool showOnLaunch)
{
    Options options;
    options.showOnLaunch = showOnLaunch;
    options.arguments = AppConfiguration::arguments();
    options.services = AppServices::standard(Boot::isDryRun(options.arguments));
    options.panel.offscreen = options.arguments.contains(u"--offscreen"_s);
    options.panel.autoHidesOnFocusLoss = Boot::autoHidesOnFocusLoss(options.arguments);
    options.panel.remembersFrame = !DesktopSession::isWayland();
    options.panel.compositorPlaces = QGuiApplication::platformName().startsWith(u"wayland"_s);
    options.store.logsEnergy = options.arguments.contains(u"--debug-energy"_s);
    options.probes = ProbeOutputs::standard();
    return options;
}

AppDelegate::AppDelegate(Options options, QObject *parent)
    : QObject(parent), m_options(withDesktopDefaults(std::move(options))), m_onboarding(new Onboarding(this)),
      m_panel(new PanelController(m_options.panel, this)), m_tester(new HotKeyTester(this)),
      m_notifier(new Notifier(bannersOf(m_options), this)),
      m_feed(new NotificationFeed(
          feedDefaults(),
          [self = QPointer(this)](const HomeyNotification &notification, bool timeSensitive) {
              if (self)
                  self->push(notification, timeSensitive);
          },
          this)),
      m_hub(new HubSession({m_options.services, m_options.arguments, m_options.store, {}}, m_onboarding,
                           m_panel, m_feed, this)),
      m_motionPreference(new MotionPreference(this)),
      m_desktopMotion(new DesktopMotionSetting(m_motionPreference, *m_options.desktopSettings)),
      m_motion(new Motion(m_panel->visibility(), m_motionPreference, this)),
      m_engine(std::make_unique<QQmlEngine>())
{
    m_desktopMotion->setParent(this);
    connect(m_hub, &HubSession::storeSwapped, this, &AppDelegate::storeDidSwap);
    makeDesktop();
    // A blinking cursor is motion too; it also keeps two pictures of an unchanged panel equal.
    const auto steadyCursor = [this] {
        QGuiApplication::styleHints()->setCursorFlashTime(m_motionPreference->reduced() ? 0 : 1000);
    };
    connect(m_motionPreference, &MotionPreference::reducedChanged, this, steadyCursor);
    steadyCursor();
}

AppDelegate::~AppDelegate()
{
    // The panel's content and the settings window were made by the engine and watch the store: the
    // session and its stores go after them.
    delete m_settingsWindow;
    delete m_panel;
    delete m_hub;
    m_engine.reset();
}

SettingsStore AppDelegate::feedDefaults() const
{
    // A test run never touches the user's notification settings or the ids already seen.
    if (AppConfiguration::isolated())
        return SettingsStore(AppConfiguration::service());
    if (Boot::isTestInstance(m_options.arguments))
        return SettingsStore(u"ai.velkor.quorvane.test"_s);
    return SettingsStore::standard();
}

void AppDelegate::applicationDidFinishLaunching()
{
    const QStringList &arguments = m_options.arguments;
    // A test run is no start of the user's: only the isolated run, with settings of its own, counts
    // there.
    const bool counts = !Boot::isTestInstance(arguments) || AppConfiguration::isolated();
    const QString launch = counts ? u"start #"_s + QString::number(Settings::bumpLaunchCount())
                                  : u"testrun, telt niet als start"_s;
    log(QString(58, QChar(0x2500)));
    log(u"Quorvane "_s + AppInfo::version() + u" start op. pid "_s + QString::number(qint64(::getpid())) +
        u", "_s + launch);
    log(u"logboek: "_s + Log::fileURL());
    log(u"sneltoets uit instellingen: "_s + Settings::hotKey().display());
    log(u"activatiebeleid: "_s + (QGuiApplication::quitOnLastWindowClosed()
                                      ? u"stopt zodra het laatste venster sluit, dat klopt niet"_s
                                      : u"achtergrondprogramma, draait door zonder open venster"_s));
    // A panel asked for at start goes on screen before the tray icon registers with the desktop; the
    // icon needs nothing the panel makes.
    if (!m_options.showOnLaunch)
        setUpStatusItem();
    setUpHotKey();
    setUpPanel();
    setUpSignalHandler();
    if (const std::optional<QString> query = Boot::value(arguments, u"--query"_s)) {
        log(u"--query \""_s + *query + u"\" meegegeven: zoekopdracht staat meteen in het veld"_s);
        store()->setQuery(*query);
    }
    if (m_options.showOnLaunch) {
        log(u"--show meegegeven: paneel meteen tonen"_s);
        m_panel->show();
        setUpStatusItem();
    }
    observeConnection();
    observeUnread();
    log(u"meldingen: "_s +
        (bannersShown() ? u"bureaubladmeldingen beschikbaar"_s : u"NIET beschikbaar, zie hierboven"_s));

    if (Boot::connectsToHomey(arguments)) {
        // The boot starts on the next event-loop turn, so the lines below always come first.
        QTimer::singleShot(0, this, [self = QPointer(this)] { launchTask(self); });
    } else {
        log(u"Homey-verbinding: uit (--no-homey). De schil draait, er gaat geen byte het net op."_s);
    }
    if (arguments.contains(u"--settings"_s)) {
        log(u"--settings meegegeven: instellingenvenster openen"_s);
        openSettings();
    }
    log(u"opstarten klaar. statusitem="_s + (hasStatusItem() ? u"ok"_s : u"ONTBREEKT"_s) + u" hotkey="_s +
        (hasHotKey() ? u"geregistreerd"_s : u"MISLUKT"_s) +
        (m_options.showOnLaunch ? u" panel=getoond"_s : u" panel=prewarmed"_s));
}

void AppDelegate::applicationWillTerminate()
{
    // A quit from the menu and SIGTERM both end here: what is still waiting to be saved is saved now.
    SettingsStore::flushAll();
    log(u"Quorvane stopt."_s);
    Log::shared().flush();
}

QCoro::Task<> AppDelegate::launchTask(QPointer<AppDelegate> self)
{
    QCoro::Task<> booting = self->m_hub->boot();
    co_await std::move(booting);
    if (!self)
        co_return;
    // Whatever the boot came to: the probes report on it.
    const std::shared_ptr<ProbeContext> probes =
        std::make_shared<ProbeContext>(self.data(), self->m_options.arguments, self->m_options.probes);
    co_await Probes::runAll(probes);
}

void AppDelegate::setUpPanel()
{
    m_panel->setContent(makePaletteRoot());
    m_panel->onHide = [self = QPointer(this)] {
        if (self)
            self->panelDidHide();
    };
    m_panel->onShow = [self = QPointer(this)] {
        if (self)
            self->panelDidShow();
    };
    // A panel shown at once is drawn by its show: a picture drawn first would only delay the map.
    if (!m_options.showOnLaunch)
        m_panel->prewarm();
}

QQuickItem *AppDelegate::makePaletteRoot()
{
    const QPointer self(this);
    PaletteRoot::Parts parts;
    parts.store = store();
    parts.onboarding = m_onboarding;
    parts.notifier = m_notifier;
    // The combination that is registered, not the one asked for (a refused change keeps the old one).
    parts.hotKeyLabel = hotKeyLabel();
    parts.hoverGate = m_panel->hoverGate();
    parts.motion = m_motion;
    parts.isolated = AppConfiguration::isolated();

    PaletteRoot::Actions actions;
    actions.onDismiss = [self] {
        if (self)
            self->m_panel->hide(u"actie uitgevoerd of esc"_s);
    };
    actions.onOpenSettings = [self] {
        if (self)
            self->openSettings();
    };
    actions.onReconnect = [self] {
        if (self)
            self->m_hub->reconnect();
    };
    actions.onQuit = [self] {
        if (self)
            Q_EMIT self->quitRequested();
    };
    actions.onSave = [self](QString key) {
        return self ? self->m_hub->saveToken(std::move(key)) : declined();
    };
    actions.onForget = [self] {
        if (self)
            self->m_hub->forgetToken();
    };
    actions.onCancel = [self] {
        if (self)
            self->m_onboarding->setShowing(false);
    };
    actions.onRetry = [self] {
        if (self)
            self->m_hub->reconnect();
    };
    actions.onConfigure = [self] {
        if (self)
            self->openOnboarding();
    };
    return PaletteRoot::make(*m_engine, parts, std::move(actions));
}

void AppDelegate::panelDidShow()
{
    const QStringList &arguments = m_options.arguments;
    store()->panelDidAppear();
    // Shown, the live home is drawn: no need to draw it ahead of a later show.
    if (store()->connection() == ConnectionState::live())
        m_prewarmedStore = store();
    const std::optional<QString> room = Boot::value(arguments, u"--room"_s);
    if (room && !store()->scopeZoneID()) {
        if (const std::optional<QString> zoneID = store()->zoneID(*room)) {
            store()->enterScope(*zoneID);
            // Entering the room cleared the query.
            if (const std::optional<QString> query = Boot::value(arguments, u"--query"_s))
                store()->setQuery(*query);
        }
    }
    if (arguments.contains(u"--notifications"_s) && !store()->showsNotifications())
        store()->enterNotifications();
}

void AppDelegate::storeDidSwap(HomeStore *old)
{
    m_panel->setContent(makePaletteRoot());
    if (old && old != store())
        disconnect(old, nullptr, this, nullptr);
}

void AppDelegate::panelDidHide()
{
    const QStringList &arguments = m_options.arguments;
    if (!Boot::value(arguments, u"--room"_s))
        store()->exitScope();
    if (!arguments.contains(u"--notifications"_s))
        store()->exitNotifications();
    store()->setQuery(QString());
    store()->closeDetail();
    store()->setSelection(0);
    store()->panelDidDisappear();
    m_toggle->noteHidden();
}

void AppDelegate::openOnboarding()
{
    // An attempt of the program's own gives way to the person's key; their own check or a start they
    // asked for does not.
    if (m_onboarding->busy() && !m_hub->attempting())
        return;
    m_onboarding->setMessage(std::nullopt);
    m_onboarding->setShowing(true);
    m_panel->show();
}

void AppDelegate::openNotifications()
{
    m_panel->show();
    store()->enterNotifications();
}
