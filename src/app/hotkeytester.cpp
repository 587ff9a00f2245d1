#include "app/hotkeytester.h"

#include "app/settings.h"
#include "base/log.h"

using namespace Qt::StringLiterals;

void HotKeyTester::arm()
{
    setArmed(true);
    setFired(false);
    log(u"hotkey-test: gewapend, wacht op "_s + Settings::hotKey().display());
}

void HotKeyTester::disarm()
{
    setArmed(false);
}

bool HotKeyTester::consumeFire()
{
    if (!m_armed)
        return false;
    setArmed(false);
    setFired(true);
    log(u"hotkey-test: GEVUURD, de sneltoets komt echt bij ons aan"_s);
    return true;
}

void HotKeyTester::setArmed(bool armed)
{
    if (m_armed == armed)
        return;
    m_armed = armed;
    Q_EMIT isArmedChanged();
}

void HotKeyTester::setFired(bool fired)
{
    if (m_fired == fired)
        return;
    m_fired = fired;
    Q_EMIT didFireChanged();
}
