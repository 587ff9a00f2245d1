#pragma once

#include "ui/palette/onboardingroot.h"

#include <functional>
#include <memory>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>

class CapabilityWriter;
class HomeStore;
class HoverGate;
class KeyMonitor;
class Motion;
class Notifier;
class Onboarding;
class PaletteController;
class QQmlEngine;
class QQuickItem;

// Builds the panel's root for the composition root: the onboarding root over the shared onboarding
// model with the palette inside it, their QML item, and the key monitor that hands the panel window's
// key presses to the palette while the palette is on screen. Everything it makes belongs to the item.
class PaletteRoot : public QObject {
    Q_OBJECT

public:
    struct Parts {
        HomeStore *store = nullptr;
        Onboarding *onboarding = nullptr;
        // None: this run shows no banners.
        Notifier *notifier = nullptr;
        // Empty: no global hot key, no chip.
        QString hotKeyLabel;
        // The panel's; none lets every hover select.
        HoverGate *hoverGate = nullptr;
        Motion *motion = nullptr;
        // None: the store-backed writer.
        std::shared_ptr<CapabilityWriter> writer;
        // A test run with its own key store and settings.
        bool isolated = false;
    };

    struct Actions {
        // The palette's.
        std::function<void()> onDismiss;
        std::function<void()> onOpenSettings;
        std::function<void()> onReconnect;
        std::function<void()> onQuit;
        // The onboarding screens'.
        std::function<QCoro::Task<bool>(QString key)> onSave;
        std::function<void()> onForget;
        std::function<void()> onCancel;
        std::function<void()> onRetry;
        std::function<void()> onConfigure;
    };

    // The root item, or nullptr with the reason logged when the QML does not load.
    static QQuickItem *make(QQmlEngine &engine, const Parts &parts, Actions actions);
    // The root object of an item that make() built; nullptr for any other item.
    static PaletteRoot *of(QQuickItem *item);

    PaletteController *palette() const { return m_palette; }
    OnboardingRoot *onboardingRoot() const { return m_onboardingRoot; }
    KeyMonitor *keyMonitor() const { return m_keyMonitor; }

    // What the onboarding model says, as the root's screens read it.
    static OnboardingRoot::Facts factsOf(const Onboarding &onboarding);

    // The hot key as the menus show it, after a change.
    void setHotKeyLabel(const QString &label);

private:
    PaletteRoot(const Parts &parts, Actions actions);
    void followOnboarding();
    void followNotifier();

    QPointer<Onboarding> m_onboarding;
    QPointer<Notifier> m_notifier;
    PaletteController *m_palette = nullptr;
    OnboardingRoot *m_onboardingRoot = nullptr;
    KeyMonitor *m_keyMonitor = nullptr;
};
