// What the keys do in the palette's current state, for the hint bar at its foot.
#include "base/text/counted.h"
#include "store/home/homestore.h"
#include "ui/controls/controlrowview.h"
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

// The word for what running a row or tile comes to; empty where it changes nothing.
QString actionWord(const RunAction &action)
{
    switch (action.kind) {
    case RunAction::Kind::Nothing:
        return {};
    case RunAction::Kind::Start:
        return u"starten"_s;
    case RunAction::Kind::OpenStrip:
        return u"regel"_s;
    case RunAction::Kind::Default:
    case RunAction::Kind::SwitchOn:
    case RunAction::Kind::SwitchOff:
    case RunAction::Kind::SetLevel:
        break;
    }
    return u"aan/uit"_s;
}

// The word for a press of a control row that writes value, as the row's own button says it.
QString pressWord(ControlRow::Kind kind, const CapabilityValue &value)
{
    const bool on = value == CapabilityValue::fromBool(true);
    switch (kind) {
    case ControlRow::Kind::Lock:
    case ControlRow::Kind::OpenButton:
        return u"doen"_s;
    case ControlRow::Kind::ArmMode:
        return u"zet"_s;
    case ControlRow::Kind::Media:
        return on ? u"speel af"_s : u"pauzeer"_s;
    case ControlRow::Kind::Action:
        return on ? u"uitvoeren"_s : u"uitschakelen"_s;
    default:
        return u"aan/uit"_s;
    }
}

} // namespace

QString PaletteController::spaceWord(SpaceAct act) const
{
    const std::optional<TileFocus> focus = m_rest->focus();
    const int i = focus ? focus->index : -1;
    switch (act) {
    case SpaceAct::Typed:
    case SpaceAct::Nothing:
    case SpaceAct::FirstTile:
        return {};
    case SpaceAct::Control: {
        const std::optional<ControlPress> press = focusedPress();
        return press ? pressWord(detailRows().at(m_controlFocus).kind(), press->value) : QString();
    }
    case SpaceAct::Selection: {
        const std::optional<Hit> hit = m_store->selectedHit();
        return hit ? actionWord(m_store->toggleAction(*hit)) : QString();
    }
    case SpaceAct::Scene:
        return actionWord(m_store->runAction(m_store->rest().scenes.at(i)));
    case SpaceAct::RoomTile:
        return actionWord(m_store->runAction(m_store->roomHit(m_rest->visibleRooms().at(i))));
    case SpaceAct::Mode:
        return actionWord(modeAction(i));
    }
    return {};
}

QString PaletteController::escapeWord(EscapeAct act)
{
    switch (act) {
    case EscapeAct::Disarm:
        return u"toch niet"_s;
    case EscapeAct::CloseControls:
        return u"regel dicht"_s;
    case EscapeAct::ClearSearch:
    case EscapeAct::LeaveList:
        return u"terug"_s;
    case EscapeAct::ClearFilter:
        return u"wis filter"_s;
    case EscapeAct::LeaveRoom:
        return u"terug naar huis"_s;
    case EscapeAct::Hide:
        break;
    }
    return {};
}

QList<KeyHint> PaletteController::currentHints() const
{
    if (!m_store)
        return {};
    if (m_store->showsNotifications())
        return notificationsHints();
    if (detailOpen()) {
        if (m_gate->hasArmed())
            return {KeyHint({enter}, u"bevestig"_s), KeyHint({escapeKey}, escapeWord(escapeAct()))};
        return detailHints();
    }
    if (m_store->isScoped())
        return roomHints();
    if (m_store->mode() == HomeStore::Mode::Results)
        return resultsHints();
    return restHints();
}

QList<KeyHint> PaletteController::notificationsHints() const
{
    QList<KeyHint> hints;
    if (!m_store->notificationRows().isEmpty())
        hints << KeyHint({up, down}, u"lees"_s);
    // Ctrl+Backspace empties the whole list, also what the filter hides, and takes our banners down.
    hints << KeyHint({command + u"\u232b"_s}, u"wis alles"_s);
    hints << KeyHint({escapeKey}, escapeWord(escapeAct()));
    return hints;
}

QList<KeyHint> PaletteController::detailHints() const
{
    QList<KeyHint> hints{KeyHint({up, down}, u"component"_s)};
    const std::optional<Device> device = detailDevice();
    const QList<ControlRow> rows = detailRows();
    if (device && m_controlFocus >= 0 && m_controlFocus < rows.size()) {
        // The keys the focused row shows on its own caps, each where it does something: the arrows step a
        // level the range allows or move the mode chosen, and one key presses what can be pressed.
        const ControlRow &row = rows.at(m_controlFocus);
        const QStringList caps = ControlRowView::make(*device, row, true, m_gate, nullptr).keyHints;
        if (caps.contains(left))
            hints << KeyHint({left, right},
                             row.kind() == ControlRow::Kind::ArmMode ? u"kies stand"_s : u"bedienen"_s);
        if (const std::optional<ControlPress> press = focusedPress()) {
            const QString word = pressWord(row.kind(), press->value);
            if (caps.contains(enter))
                hints << KeyHint({enter}, word);
            else if (caps.contains(space))
                hints << KeyHint({space}, word);
        }
    }
    hints << KeyHint({escapeKey}, escapeWord(escapeAct()));
    return hints;
}

QList<KeyHint> PaletteController::roomHints() const
{
    const KeyHint back({escapeKey}, escapeWord(escapeAct()));
    // A filter that leaves nothing: no row to choose or run.
    if (!m_store->selectedHit())
        return {back};
    const bool roomRow = onRoomRow();
    QList<KeyHint> hints{KeyHint({up, down}, u"kies"_s)};
    if (returnRunsSelectedRow())
        hints << KeyHint({enter}, roomRow ? u"alles aan/uit"_s : u"doe"_s);
    // Not in a filter, where Space is typed, nor on a row it does not work.
    if (const QString word = spaceWord(spaceAct()); !word.isEmpty())
        hints << KeyHint({space}, word);
    switch (dimAct()) {
    case DimAct::Room:
        hints << KeyHint({command + left, command + right}, u"kamer dimmen"_s);
        break;
    case DimAct::Lamp:
        hints << KeyHint({command + left, command + right}, u"dimmen"_s);
        break;
    default:
        break;
    }
    if (opensControls(selectedDevice()))
        hints << KeyHint({tab}, u"regel"_s);
    hints << back;
    return hints;
}

QList<KeyHint> PaletteController::resultsHints() const
{
    // Nothing found: there is no row to choose, run or open.
    static const QList<KeyHint> nothing{KeyHint({escapeKey}, escapeWord(EscapeAct::ClearSearch))};
    if (m_store->hits().isEmpty())
        return nothing;
    // Escape empties the search here: the results show only while one is typed and no controls are open.
    const auto make = [](bool runs, bool opens, bool dims) {
        QList<KeyHint> hints{KeyHint({up, down}, u"kies"_s)};
        if (runs)
            hints << KeyHint({enter}, u"doe"_s) << KeyHint({command + enter}, u"doe, blijf"_s);
        if (opens)
            hints << KeyHint({tab}, u"regel"_s);
        if (dims)
            hints << KeyHint({command + left, command + right}, u"dimmen"_s);
        hints << KeyHint({escapeKey}, escapeWord(EscapeAct::ClearSearch));
        return hints;
    };
    // Asked again at every change of the home while a query is in the field: made once, by whether
    // Return runs the row, Tab opens its controls and Ctrl+Left/Right dims its lamp.
    static const QList<KeyHint> lists[2][2][2] = {{{make(false, false, false), make(false, false, true)},
                                                   {make(false, true, false), make(false, true, true)}},
                                                  {{make(true, false, false), make(true, false, true)},
                                                   {make(true, true, false), make(true, true, true)}}};
    const bool opens = opensControls(selectedDevice());
    const bool dims = dimAct() == DimAct::Lamp;
    return lists[returnRunsSelectedRow() ? 1 : 0][opens ? 1 : 0][dims ? 1 : 0];
}

QList<KeyHint> PaletteController::restHints() const
{
    const std::optional<TileFocus> focus = m_rest->focus();
    QList<KeyHint> hints;
    if (focus && focus->kind == TileFocus::Kind::More) {
        // The button for the extra rooms: Return shows or hides them, and nothing switches here.
        hints << KeyHint({up, down, left, right}, u"kies"_s)
              << KeyHint({enter}, m_rest->moreRoomsShown() ? u"minder kamers"_s : u"meer kamers"_s);
    } else if (focus) { // without one the home has no tile to choose yet
        hints << KeyHint({up, down, left, right}, u"kies"_s);
        if (focus->kind == TileFocus::Kind::Room)
            hints << KeyHint({enter}, u"open kamer"_s);
        else if (focus->kind == TileFocus::Kind::Scene ||
                 modeAction(focus->index).kind != RunAction::Kind::Nothing)
            hints << KeyHint({enter}, u"doe"_s);
        // A room without a lamp to switch has nothing for Space; a scene or a mode is started.
        if (const QString word = spaceWord(spaceAct()); !word.isEmpty())
            hints << KeyHint({space}, word);
    }
    // Only the lamps that are on dim from a room tile.
    if (dimAct() == DimAct::LitLamps)
        hints << KeyHint({command + left, command + right}, u"dimmen"_s);
    if (!m_store->rest().scenes.isEmpty())
        hints << KeyHint({command + u"1"_s}, u"scene"_s);
    const int unread = m_store->notifications()->unread();
    if (unread >= 1)
        hints << KeyHint({command + u"N"_s}, Counted::text(unread, u"melding"_s, u"meldingen"_s));
    return hints;
}
