#include "app/paletteroot.h"

#include "app/notifier.h"
#include "app/onboarding.h"
#include "base/log.h"
#include "ui/motion.h"
#include "ui/palette/keymonitor.h"
#include "ui/palette/onboardingroot.h"
#include "ui/palette/palettecontroller.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>

using namespace Qt::StringLiterals;

namespace {

NotificationsScreen::Permission permissionOf(Notifier::PermissionKind kind)
{
    switch (kind) {
    case Notifier::PermissionKind::Unavailable:
        return NotificationsScreen::Permission::Unavailable;
    case Notifier::PermissionKind::Unknown:
        return NotificationsScreen::Permission::Unknown;
    case Notifier::PermissionKind::Granted:
        return NotificationsScreen::Permission::Granted;
    case Notifier::PermissionKind::Denied:
        return NotificationsScreen::Permission::Denied;
    }
    return NotificationsScreen::Permission::Unknown;
}

} // namespace

PaletteRoot::PaletteRoot(const Parts &parts, Actions actions)
    : m_onboarding(parts.onboarding), m_notifier(parts.notifier)
{
    PaletteController::Actions paletteActions;
    paletteActions.onDismiss = std::move(actions.onDismiss);
    paletteActions.onOpenSettings = std::move(actions.onOpenSettings);
    paletteActions.onReconnect = std::move(actions.onReconnect);
    paletteActions.onQuit = actions.onQuit;
    paletteActions.onRequestPermission = [notifier = m_notifier] {
        // No desktop opens its notification settings the same way: ask again whether banners can show.
        if (notifier)
            notifier->refreshPermission();
    };
    paletteActions.onClearBanners = [notifier = m_notifier] {
        if (notifier && notifier->isAvailable())
            notifier->removeAllDelivered();
    };
    m_palette = new PaletteController(parts.store, parts.writer, parts.hotKeyLabel, parts.hoverGate,
                                      std::move(paletteActions), this);
    m_palette->followBeat(parts.motion);

    OnboardingRoot::Actions rootActions;
    rootActions.onSave = std::move(actions.onSave);
    rootActions.onForget = std::move(actions.onForget);
    rootActions.onCancel = std::move(actions.onCancel);
    rootActions.onRetry = std::move(actions.onRetry);
    rootActions.onConfigure = std::move(actions.onConfigure);
    rootActions.onQuit = std::move(actions.onQuit);
    m_onboardingRoot = new OnboardingRoot(parts.store, std::move(rootActions), parts.isolated, this);
    followOnboarding();
    followNotifier();
}

QQuickItem *PaletteRoot::make(QQmlEngine &engine, const Parts &parts, Actions actions)
{
    std::unique_ptr<PaletteRoot> root(new PaletteRoot(parts, std::move(actions)));
    // The module's own compiled file: a wrapper written here would be compiled, and cached on disk, at
    // every first start.
    QQmlComponent component(&engine,
                            QUrl(u"qrc:/qt-project.org/imports/Quorvane/Ui/qml/palette/PanelRoot.qml"_s));
    std::unique_ptr<QObject> object(
        component.createWithInitialProperties({{u"onboarding"_s, QVariant::fromValue(root->m_onboardingRoot)},
                                               {u"controller"_s, QVariant::fromValue(root->m_palette)},
                                               {u"motion"_s, QVariant::fromValue(parts.motion)}}));
    auto *item = qobject_cast<QQuickItem *>(object.get());
    if (!item) {
        log(u"!! paneel: het palet laadt niet: "_s + component.errorString().trimmed());
        return nullptr;
    }
    object.release();
    // Keys reach the palette only while it is the screen on show; the token field types freely, and the
    // connection-problem screen has its one chord.
    const QPointer<PaletteRoot> self(root.get());
    root->m_keyMonitor = new KeyMonitor(
        item,
        [self](int key, Qt::KeyboardModifiers modifiers, const QString &text, bool autoRepeat) {
            if (!self)
                return false;
            if (self->m_onboardingRoot->handleKey(key, modifiers, autoRepeat))
                return true;
            return self->m_onboardingRoot->screen() == OnboardingRoot::Screen::Palette &&
                   self->m_palette->handleKey(key, modifiers, text, autoRepeat);
        },
        root.get());
    root->setObjectName(u"paletteRoot"_s);
    root.release()->setParent(item);
    return item;
}

PaletteRoot *PaletteRoot::of(QQuickItem *item)
{
    return item ? item->findChild<PaletteRoot *>(u"paletteRoot"_s, Qt::FindDirectChildrenOnly) : nullptr;
}

void PaletteRoot::setHotKeyLabel(const QString &label)
{
    m_palette->setHotKeyLabel(label);
}

OnboardingRoot::Facts PaletteRoot::factsOf(const Onboarding &onboarding)
{
    OnboardingRoot::Facts facts;
    facts.showing = onboarding.showing();
    facts.busy = onboarding.busy();
    facts.checking = onboarding.checking();
    facts.hasToken = onboarding.hasToken();
    facts.message = onboarding.message();
    facts.connectionProblem = onboarding.connectionProblem();
    facts.retrying = onboarding.retrying();
    return facts;
}

void PaletteRoot::followOnboarding()
{
    if (!m_onboarding)
        return;
    const auto push = [this] {
        if (m_onboarding)
            m_onboardingRoot->setFacts(factsOf(*m_onboarding));
    };
    for (const auto signal :
         {&Onboarding::showingChanged, &Onboarding::busyChanged, &Onboarding::checkingChanged,
          &Onboarding::hasTokenChanged, &Onboarding::messageChanged, &Onboarding::connectionProblemChanged,
          &Onboarding::retryingChanged})
        connect(m_onboarding, signal, this, push);
    push();
}

void PaletteRoot::followNotifier()
{
    if (!m_notifier) {
        m_palette->setBannerPermission(NotificationsScreen::Permission::Unknown);
        return;
    }
    const auto push = [this] {
        if (m_notifier)
            m_palette->setBannerPermission(permissionOf(m_notifier->permissionKind()));
    };
    connect(m_notifier, &Notifier::permissionChanged, this, push);
    push();
}
