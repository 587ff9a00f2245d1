#include "app/hotkey.h"

#include "base/log.h"

using namespace Qt::StringLiterals;

namespace {

// The status of a key that has no X11 form in the table.
constexpr int noSuchKey = -1;

} // namespace

HotKey::HotKey(HotKeyGrabber &grabber, const HotKeyCombo &combo) : m_grabber(grabber), m_combo(combo) {}

std::unique_ptr<HotKey> HotKey::create(HotKeyGrabber &grabber, const HotKeyCombo &combo,
                                       std::function<void()> action, int *status)
{
    std::unique_ptr<HotKey> hotKey(new HotKey(grabber, combo));
    const int result = hotKey->registerCombo(combo);
    if (status)
        *status = result;
    if (result != 0)
        return nullptr;
    grabber.setOnPress(std::move(action));
    return hotKey;
}

HotKey::~HotKey()
{
    if (m_registered) {
        m_grabber.release();
        m_grabber.setOnPress({});
    }
}

int HotKey::registerCombo(const HotKeyCombo &combo)
{
    const std::optional<HotKeyCombo::X11Grab> key = combo.x11Grab();
    m_lastStatus = key ? m_grabber.grab(*key) : noSuchKey;
    m_registered = m_lastStatus == 0;
    return m_lastStatus;
}

bool HotKey::change(const HotKeyCombo &to)
{
    const HotKeyCombo old = m_combo;
    const bool hadOld = m_registered;
    if (m_registered)
        m_grabber.release();
    m_registered = false;
    const int status = registerCombo(to);
    if (status == 0) {
        m_combo = to;
        log(u"hotkey: opnieuw geregistreerd op "_s + to.display() +
            u" (status 0: de X-server weigerde hem niet; test hem in de instellingen)"_s);
        return true;
    }
    log(u"hotkey: registreren van "_s + to.display() + u" MISLUKT, status "_s + QString::number(status));
    if (hadOld) {
        if (registerCombo(old) == 0)
            log(u"hotkey: "_s + old.display() + u" blijft geregistreerd"_s);
        else
            log(u"!! hotkey: ook "_s + old.display() + u" kon niet terug, er is nu geen sneltoets"_s);
        // What the caller reads back is the failure of the change, not of the restore.
        m_lastStatus = status;
    }
    return false;
}
