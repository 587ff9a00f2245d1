// What the keys do in the palette's current state, for the hint bar at its foot.
#include "base/text/counted.h"
#include "store/home/homestore.h"
#include "ui/controls/controlplan.h"
#include "ui/controls/guardgate.h"
#include "ui/palette/palettecontroller.h"
#include "ui/screens/restscreen.h"

using namespace Qt::StringLiterals;

namespace {

const QString up = u"\u2191"_s;
const QString down = u"\u2193"_s;
const QString left = u"\u2190"_s;
const QString right = u"\u2192"_s;
const QString enter = u"\u23ce"_s;
const QString space = u"\u2423"_s;
const QString tab = u"\u21e5"_s;
const QString command = u"\u2318"_s;
const QString escapeKey = u"esc"_s;

} // namespace

QList<KeyHint> PaletteController::currentHints() const
{
    if (!m_store)
        return {};
    if (m_store->showsNotifications())
        return {KeyHint({up, down}, u"lees"_s), KeyHint({command + u"\u232b"_s}, u"wis alles"_s),
                KeyHint({escapeKey}, u"terug"_s)};
    if (detailOpen()) {
        if (m_gate->hasArmed())
            return {KeyHint({enter}, u"bevestig"_s), KeyHint({escapeKey}, u"toch niet"_s)};
        return detailHints();
    }
    if (m_store->isScoped())
        return roomHints();
    if (m_store->mode() == HomeStore::Mode::Results)
        return resultsHints();
    return restHints();
}

QList<KeyHint> PaletteController::detailHints() const
{
    QList<KeyHint> hints{KeyHint({up, down}, u"component"_s)};
    const QList<ControlRow> rows = detailRows();
    const std::optional<ControlRow::Kind> kind = m_controlFocus >= 0 && m_controlFocus < rows.size()
                                                     ? std::optional(rows.at(m_controlFocus).kind())
                                                     : std::nullopt;
    // Only the keys that do something on the focused row: the arrows move a level, Space flips a switch.
    if (kind == ControlRow::Kind::Lock || kind == ControlRow::Kind::OpenButton) {
        hints << KeyHint({enter}, u"doen"_s);
    } else if (kind == ControlRow::Kind::ArmMode) {
        hints << KeyHint({left, right}, u"kies stand"_s) << KeyHint({enter}, u"zet"_s);
    } else if (kind && rows.at(m_controlFocus).adjustableCapability()) {
        hints << KeyHint({left, right}, u"bedienen"_s);
    } else if (spaceChanges()) {
        hints << KeyHint({space}, u"aan/uit"_s);
    }
    hints << KeyHint({escapeKey}, u"regel dicht"_s);
    return hints;
}

QList<KeyHint> PaletteController::roomHints() const
{
    // A filter that leaves nothing: no row to choose or run.
    static const QList<KeyHint> nothing{KeyHint({escapeKey}, u"terug naar huis"_s)};
    if (!m_store->selectedHit())
        return nothing;
    const bool roomRow = onRoomRow();
    QList<KeyHint> hints{KeyHint({up, down}, u"kies"_s)};
    if (returnRunsSelectedRow())
        hints << KeyHint({enter}, roomRow ? u"alles aan/uit"_s : u"doe"_s);
    if (spaceChanges()) // not in a filter, where it is typed, nor on a row without a switch
        hints << KeyHint({space}, u"aan/uit"_s);
    const Device *device = selectedDevice();
    if (roomRow) {
        if (m_store->room() && m_store->room()->dimmableCount >= 1)
            hints << KeyHint({command + left, command + right}, u"kamer dimmen"_s);
    } else if (device && device->dimKey()) {
        hints << KeyHint({command + left, command + right}, u"dimmen"_s);
    }
    if (opensControls(device))
        hints << KeyHint({tab}, u"regel"_s);
    hints << KeyHint({escapeKey}, u"terug naar huis"_s);
    return hints;
}

QList<KeyHint> PaletteController::resultsHints() const
{
    // Nothing found: there is no row to choose, run or open.
    static const QList<KeyHint> nothing{KeyHint({escapeKey}, u"terug"_s)};
    if (m_store->hits().isEmpty())
        return nothing;
    const auto make = [](bool runs, bool device, bool dims) {
        QList<KeyHint> hints{KeyHint({up, down}, u"kies"_s)};
        if (runs)
            hints << KeyHint({enter}, u"doe"_s) << KeyHint({command + enter}, u"doe, blijf"_s);
        if (device)
            hints << KeyHint({tab}, u"regel"_s);
        if (dims)
            hints << KeyHint({command + left, command + right}, u"dimmen"_s);
        hints << KeyHint({escapeKey}, u"terug"_s);
        return hints;
    };
    // Asked again at every change of the home while a query is in the field: made once, by whether
    // Return runs the row, then by what the row's device offers.
    static const QList<KeyHint> lists[2][3] = {
        {make(false, false, false), make(false, true, false), make(false, true, true)},
        {make(true, false, false), make(true, true, false), make(true, true, true)}};
    const Device *selected = selectedDevice();
    const int offers = !opensControls(selected) ? 0 : selected->dimKey() ? 2 : 1;
    return lists[returnRunsSelectedRow() ? 1 : 0][offers];
}

QList<KeyHint> PaletteController::restHints() const
{
    const std::optional<TileFocus> focus = m_rest->focus();
    const bool onRoom = focus && focus->kind == TileFocus::Kind::Room;
    QList<KeyHint> hints;
    if (focus && focus->kind == TileFocus::Kind::More) {
        // The button for the extra rooms: Return shows or hides them, and nothing switches here.
        hints << KeyHint({up, down, left, right}, u"kies"_s)
              << KeyHint({enter}, m_rest->moreRoomsShown() ? u"minder kamers"_s : u"meer kamers"_s);
    } else if (focus) { // without one the home has no tile to choose yet
        hints << KeyHint({up, down, left, right}, u"kies"_s)
              << KeyHint({enter}, onRoom ? u"open kamer"_s : u"doe"_s);
        if (spaceChanges()) // a room without a lamp to switch has nothing for it
            hints << KeyHint({space}, u"aan/uit"_s);
    }
    if (onRoom)
        hints << KeyHint({command + left, command + right}, u"dimmen"_s);
    if (!m_store->rest().scenes.isEmpty())
        hints << KeyHint({command + u"1"_s}, u"scene"_s);
    const int unread = m_store->notifications()->unread();
    if (unread >= 1)
        hints << KeyHint({command + u"N"_s}, Counted::text(unread, u"melding"_s, u"meldingen"_s));
    return hints;
}
