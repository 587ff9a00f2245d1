#include "app/settingsmodel.h"

#include "app/appinfo.h"
#include "app/hotkeyrecorder.h"
#include "app/hotkeytester.h"
#include "app/logreveal.h"
#include "app/notifier.h"
#include "app/settings.h"
#include "base/log.h"
#include "store/notifications/notificationfeed.h"
#include "ui/keytext.h"
#include "ui/statustone.h"
#include "ui/theme.h"

using namespace Qt::StringLiterals;

namespace {

using Source = HomeyNotification::Source;

const QString warningSymbol = u"exclamationmark.triangle.fill"_s;
const QString doneSymbol = u"checkmark.circle.fill"_s;

QColor green()
{
    return toneColour(StatusTone::live);
}

QString joined(const QSet<QString> &texts)
{
    return NotificationSettings::sorted(texts).join(u", "_s);
}

} // namespace

SettingsModel::SettingsModel(HotKeyTester &tester, NotificationFeed &feed, Notifier &notifier, Hooks hooks,
                             QObject *parent)
    : QObject(parent), m_tester(tester), m_feed(feed), m_notifier(notifier), m_hooks(std::move(hooks)),
      m_recorder(new HotKeyRecorder(this)), m_combo(Settings::hotKey())
{
    connect(&m_feed, &NotificationFeed::settingsChanged, this, &SettingsModel::settingsChanged);
    connect(&m_feed, &NotificationFeed::settingsChanged, this, &SettingsModel::storedPlacesChanged);
    connect(&m_notifier, &Notifier::permissionChanged, this, &SettingsModel::permissionChanged);
    connect(m_recorder, &HotKeyRecorder::isRecordingChanged, this, &SettingsModel::hotKeyChanged);
    connect(m_recorder, &HotKeyRecorder::capturedChanged, this, &SettingsModel::captured);
    connect(&m_tester, &HotKeyTester::isArmedChanged, this, &SettingsModel::testChanged);
    connect(&m_tester, &HotKeyTester::didFireChanged, this, &SettingsModel::testChanged);
    refreshConnection();
}

SettingsModel::~SettingsModel() = default;

SettingsTexts SettingsModel::texts()
{
    return SettingsTexts::make();
}

QString SettingsModel::panelNote() const
{
    // Wayland tells a program neither where its window is nor whether the user or the desktop sized it.
    if (!globalHotKey())
        return u"Het paneel is vrij schaalbaar. Wayland vertelt Quorvane niet waar het staat: grootte en "
               u"positie worden daar niet onthouden."_s;
    return u"Het paneel is vrij schaalbaar. Grootte en positie worden onthouden."_s;
}

// --- Notifications ---------------------------------------------------------------------------------------

QString SettingsModel::permissionText() const
{
    switch (m_notifier.permissionKind()) {
    case Notifier::PermissionKind::Unavailable:
        return m_notifier.unavailableReason();
    case Notifier::PermissionKind::Unknown:
        return u"Bij de eerste melding kijkt Quorvane of je computer meldingen toont."_s;
    case Notifier::PermissionKind::Granted:
        return u"Je computer mag meldingen tonen"_s;
    case Notifier::PermissionKind::Denied:
        // Nothing to switch on in the system settings: without a notification service nobody shows them.
        return u"Je computer toont geen meldingen van Quorvane: er draait geen meldingendienst"_s;
    }
    return {};
}

QString SettingsModel::permissionSymbol() const
{
    switch (m_notifier.permissionKind()) {
    case Notifier::PermissionKind::Unknown:
        return {};
    case Notifier::PermissionKind::Granted:
        return doneSymbol;
    case Notifier::PermissionKind::Unavailable:
    case Notifier::PermissionKind::Denied:
        return warningSymbol;
    }
    return {};
}

QColor SettingsModel::permissionColor() const
{
    switch (m_notifier.permissionKind()) {
    case Notifier::PermissionKind::Unknown:
        return Theme::textFaint();
    case Notifier::PermissionKind::Granted:
        return green();
    case Notifier::PermissionKind::Unavailable:
    case Notifier::PermissionKind::Denied:
        return Theme::alarm();
    }
    return Theme::textFaint();
}

void SettingsModel::change(const std::function<void(NotificationSettings &)> &edit)
{
    NotificationSettings settings = m_feed.settings();
    edit(settings);
    m_feed.apply(settings);
}

bool SettingsModel::pushEnabled() const
{
    return m_feed.settings().pushEnabled;
}

void SettingsModel::setPushEnabled(bool on)
{
    change([on](NotificationSettings &s) { s.pushEnabled = on; });
}

QVariantList SettingsModel::sources()
{
    QVariantList list;
    for (const Source source : Source::allCases())
        list << QVariantMap{{u"title"_s, source.title()}, {u"symbol"_s, source.symbol()}};
    return list;
}

QVariantList SettingsModel::sourcesEnabled() const
{
    const NotificationSettings settings = m_feed.settings();
    QVariantList list;
    for (const Source source : Source::allCases())
        list << settings.enabledSources.contains(source);
    return list;
}

void SettingsModel::setSourceEnabled(int index, bool on)
{
    const QList<Source> all = Source::allCases();
    if (index < 0 || index >= all.size())
        return;
    const Source source = all.at(index);
    change([&](NotificationSettings &s) {
        if (on)
            s.enabledSources.insert(source);
        else
            s.enabledSources.remove(source);
    });
}

QStringList SettingsModel::priorityChoices()
{
    return {u"alleen 1"_s, u"1 en 2"_s, u"1 t/m 3"_s, u"1 t/m 4"_s, u"alles"_s};
}

int SettingsModel::priorityIndex() const
{
    return std::clamp(m_feed.settings().p2000MaxPriority, 1, 5) - 1;
}

void SettingsModel::setPriorityIndex(int index)
{
    if (index < 0 || index >= priorityChoices().size())
        return;
    change([index](NotificationSettings &s) { s.p2000MaxPriority = index + 1; });
}

void SettingsModel::setRegionText(const QString &text)
{
    if (m_regionText != text) {
        m_regionText = text;
        Q_EMIT regionTextChanged();
    }
    change([&text](NotificationSettings &s) { s.p2000Regions = NotificationSettings::split(text); });
}

void SettingsModel::setCityText(const QString &text)
{
    if (m_cityText != text) {
        m_cityText = text;
        Q_EMIT cityTextChanged();
    }
    change([&text](NotificationSettings &s) { s.p2000Cities = NotificationSettings::split(text); });
}

bool SettingsModel::timeSensitive() const
{
    return m_feed.settings().timeSensitiveForPrio1;
}

void SettingsModel::setTimeSensitive(bool on)
{
    change([on](NotificationSettings &s) { s.timeSensitiveForPrio1 = on; });
}

// --- Hot key ---------------------------------------------------------------------------------------------

bool SettingsModel::isRecording() const
{
    return m_recorder->isRecording();
}

QString SettingsModel::chipText() const
{
    return isRecording() ? texts().recordPrompt : m_combo.display();
}

QColor SettingsModel::chipColor() const
{
    return isRecording() ? Theme::lit() : Theme::text();
}

QString SettingsModel::recordButtonText() const
{
    return isRecording() ? u"Annuleer"_s : u"Wijzig"_s;
}

bool SettingsModel::handleKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    return m_recorder->keyPressed(qtKey, modifiers);
}

bool SettingsModel::closesWindow(int qtKey, Qt::KeyboardModifiers modifiers, bool listOpen)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    return (qtKey == Qt::Key_Escape && held == Qt::NoModifier && !listOpen) ||
           (qtKey == Qt::Key_W && held == Qt::ControlModifier);
}

void SettingsModel::toggleRecording()
{
    // Where the desktop allows no global hot key, the window offers neither recording nor a test.
    if (!globalHotKey())
        return;
    if (isRecording())
        m_recorder->stop();
    else
        m_recorder->start();
}

void SettingsModel::useStandard()
{
    if (!globalHotKey())
        return;
    apply(HotKeyCombo::standard());
}

void SettingsModel::captured()
{
    // Starting a recording clears the capture; only a new combination is applied.
    if (const std::optional<HotKeyCombo> combo = m_recorder->captured())
        apply(*combo);
}

void SettingsModel::apply(const HotKeyCombo &combo)
{
    const bool ok = m_hooks.onHotKeyChange && m_hooks.onHotKeyChange(combo);
    m_registerFailed = !ok;
    // A refused combination changes nothing shown but the warning: the one registered before still is.
    if (ok) {
        m_combo = combo;
        Settings::setHotKey(combo);
        log(u"sneltoets gewijzigd naar "_s + combo.display());
    }
    Q_EMIT hotKeyChanged();
    Q_EMIT testChanged();
}

QString SettingsModel::testButtonText() const
{
    return m_tester.isArmed() ? u"Wachten op "_s + m_combo.display() + u"…"_s : u"Test de sneltoets"_s;
}

bool SettingsModel::canTest() const
{
    return !m_tester.isArmed();
}

QString SettingsModel::testResultText() const
{
    if (m_tester.didFire())
        return u"Werkt"_s;
    if (m_tester.isArmed())
        return u"Druk nu "_s + m_combo.display();
    return {};
}

QString SettingsModel::testResultSymbol() const
{
    if (m_tester.didFire())
        return doneSymbol;
    return m_tester.isArmed() ? u"keyboard"_s : QString();
}

QColor SettingsModel::testResultColor() const
{
    return m_tester.didFire() ? green() : Theme::lit();
}

void SettingsModel::armTest()
{
    if (globalHotKey())
        m_tester.arm();
}

// --- Panel, connection, log, window ------------------------------------------------------------------------

void SettingsModel::resetPanelSize()
{
    Settings::setPanelFrame(std::nullopt);
    log(u"panelgrootte teruggezet naar standaard"_s);
}

void SettingsModel::refreshConnection()
{
    const QString text = m_hooks.connectionText ? m_hooks.connectionText() : QString();
    if (text == m_connectionText)
        return;
    m_connectionText = text;
    Q_EMIT connectionTextChanged();
}

void SettingsModel::revealLog()
{
    setLogNotice({});
    const QPointer self(this);
    LogReveal::reveal(m_hooks.fileManager, [self](const QString &text) {
        if (self)
            self->setLogNotice(text);
    });
}

void SettingsModel::setLogNotice(const QString &text)
{
    if (text == m_logNotice)
        return;
    m_logNotice = text;
    Q_EMIT logNoticeChanged();
}

void SettingsModel::configure()
{
    if (m_hooks.onConfigure)
        m_hooks.onConfigure();
}

void SettingsModel::showPlaces(const QString &regions, const QString &cities)
{
    if (regions != m_regionText) {
        m_regionText = regions;
        Q_EMIT regionTextChanged();
    }
    if (cities != m_cityText) {
        m_cityText = cities;
        Q_EMIT cityTextChanged();
    }
}

void SettingsModel::storedPlacesChanged()
{
    // A field that already says what is stored keeps the user's own spelling of it, half-typed comma and
    // all; what changed elsewhere (a region derived from the hub's timeline) shows at once.
    const NotificationSettings settings = m_feed.settings();
    showPlaces(
        NotificationSettings::split(m_regionText) == settings.p2000Regions ? m_regionText
                                                                           : joined(settings.p2000Regions),
        NotificationSettings::split(m_cityText) == settings.p2000Cities ? m_cityText
                                                                        : joined(settings.p2000Cities));
}

void SettingsModel::appeared()
{
    const NotificationSettings settings = m_feed.settings();
    showPlaces(joined(settings.p2000Regions), joined(settings.p2000Cities));
    m_notifier.refreshPermission();
    refreshConnection();
}

void SettingsModel::disappeared()
{
    m_recorder->stop();
    m_tester.disarm();
}
