#include "app/hotkeycontrol.h"

#include "app/hotkeytester.h"
#include "app/paneltoggle.h"
#include "app/settings.h"
#include "base/log.h"

#include <QPointer>

using namespace Qt::StringLiterals;

HotKeyControl::HotKeyControl(HotKeyGrabber &grabber, HotKeyTester &tester, PanelToggle &toggle,
                             bool testInstance, QObject *parent)
    : QObject(parent), m_grabber(grabber), m_tester(tester), m_toggle(toggle), m_testInstance(testInstance)
{}

HotKeyControl::~HotKeyControl() = default;

std::unique_ptr<HotKey> HotKeyControl::make(const HotKeyCombo &combo, int *status)
{
    QPointer<HotKeyControl> self(this);
    return HotKey::create(
        m_grabber, combo,
        [self] {
            if (self)
                self->hotKeyFired();
        },
        status);
}

void HotKeyControl::setUp()
{
    const HotKeyCombo combo = Settings::hotKey();
    if (m_testInstance) {
        log(u"testmodus: geen global hotkey ("_s + combo.display() +
            u" blijft van de app van de gebruiker)"_s);
        return;
    }
    switch (m_grabber.availability()) {
    case HotKeyGrabber::Availability::wayland:
        log(u"!! hotkey: Wayland laat geen globale sneltoets toe. Maak in de systeeminstellingen een "
            u"sneltoets die 'quorvane' start: een tweede start toont het paneel."_s);
        return;
    case HotKeyGrabber::Availability::noDisplay:
        log(u"!! hotkey: geen X11-scherm, dus geen globale sneltoets. Een tweede start van 'quorvane' "
            u"toont het paneel."_s);
        return;
    case HotKeyGrabber::Availability::ready:
        break;
    }
    int status = 0;
    m_hotKey = make(combo, &status);
    if (!m_hotKey) {
        log(u"!! hotkey: "_s + combo.display() + u" kon NIET geregistreerd worden. "_s +
            u"Gebruik het systeemvak-icoon of kies een andere combinatie in de instellingen."_s);
        return;
    }
    // The X server refuses a key another client holds with a core grab; an XInput2 grab does not clash with
    // ours, and then only one of the two gets the presses.
    log(u"hotkey: "_s + combo.display() + u" geregistreerd, status "_s + QString::number(status) + u". "_s +
        u"Een combinatie die een ander programma op de gewone manier vastheeft, weigert de X-server; "_s +
        u"een programma dat sneltoetsen via XInput2 pakt (zoals sommige desktops), kan hem toch "_s +
        u"afvangen. Test hem in de instellingen."_s);
}

bool HotKeyControl::changeHotKey(const HotKeyCombo &to)
{
    bool registered = false;
    if (m_hotKey)
        registered = m_hotKey->change(to);
    else
        registered = (m_hotKey = make(to)) != nullptr;
    Q_EMIT shownComboChanged();
    return registered;
}

void HotKeyControl::hotKeyFired()
{
    if (m_tester.consumeFire())
        return;
    log(u"hotkey: gevuurd"_s);
    m_toggle.toggle();
}

bool HotKeyControl::isRegistered() const
{
    return m_hotKey && m_hotKey->isRegistered();
}

bool HotKeyControl::desktopAllowsGrab() const
{
    return m_grabber.availability() == HotKeyGrabber::Availability::ready;
}

HotKeyCombo HotKeyControl::shownCombo() const
{
    return isRegistered() ? m_hotKey->combo() : Settings::hotKey();
}
