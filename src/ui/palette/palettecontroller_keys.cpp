// The palette's key map and the actions behind it: activation, dimming, the control strip's focus,
// adjustment and firing, and the way back out, one Escape at a time.
#include "store/home/homestore.h"
#include "ui/controls/capabilitywriter.h"
#include "ui/controls/controlplan.h"
#include "ui/controls/guardgate.h"
#include "ui/hovergate.h"
#include "ui/palette/palettecontroller.h"
#include "ui/screens/restscreen.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A press of a switch-like control: the opposite of a boolean value; on when there is none.
CapabilityValue flipped(const Device &device, const QString &capabilityID)
{
    const Capability *capability = device.capability(capabilityID);
    const std::optional<bool> on =
        capability && capability->value ? capability->value->boolValue() : std::nullopt;
    return CapabilityValue::fromBool(on ? !*on : true);
}

} // namespace

bool PaletteController::handleKey(int key, Qt::KeyboardModifiers modifiers, const QString &text,
                                  bool autoRepeat)
{
    if (m_hoverGate)
        m_hoverGate->noteKey();
    if (!m_store)
        return false;
    const KeyPress press{key, modifiers, text, autoRepeat};
    // Ctrl+Q ends the program, as the tray menu says, in every mode of the palette.
    if (press.quits()) {
        if (m_actions.onQuit)
            m_actions.onQuit();
        return true;
    }
    if (press.key == Qt::Key_N && press.isCommandChord()) {
        if (m_store->showsNotifications())
            m_store->exitNotifications();
        else
            m_store->enterNotifications();
        focusSearch();
        return true;
    }
    return m_store->showsNotifications() ? handleNotificationsKey(press) : handlePaletteKey(press);
}

bool PaletteController::handlePaletteKey(const KeyPress &press)
{
    const bool queryEmpty = m_store->query().isEmpty();
    switch (press.key) {
    case Qt::Key_R:
        if (!press.isCommandChord())
            return false;
        m_store->resync();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held key acts once: its repeats would flicker a lamp or rerun a flow many times a second.
        if (!press.autoRepeat)
            activatePrimary(press.commandHeld());
        return true;
    case Qt::Key_Comma:
        return openSettings(press);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        toggleDetail();
        return true;
    case Qt::Key_Space: {
        if (!press.isPlain())
            return handleDigit(press);
        const SpaceAct act = spaceAct();
        if (act == SpaceAct::Typed)
            return false;
        if (!press.autoRepeat)
            toggleFocused(act);
        return true;
    }
    case Qt::Key_Backspace:
        if (!press.isPlain())
            return handleDigit(press);
        if (m_store->isScoped() && queryEmpty) {
            leaveRoom();
            return true;
        }
        return false; // the field deletes
    case Qt::Key_Escape:
        escape();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int dir = press.key == Qt::Key_Left ? -1 : 1;
        if (press.isCommandChord()) {
            dim(dir, press.shiftHeld());
            return true;
        }
        if (press.isPlain() && detailOpen()) {
            adjustFocusedControl(dir, false);
            return true;
        }
        // The cursor moves in the typed text, or the field gets the chord.
        if (!queryEmpty || m_store->isScoped() || !press.isPlain())
            return false;
        m_rest->move(dir, 0);
        return true;
    }
    case Qt::Key_Down:
    case Qt::Key_Up: {
        const int dir = press.key == Qt::Key_Down ? 1 : -1;
        if (detailOpen())
            moveControlFocus(dir);
        else if (showsRows())
            m_store->moveSelection(dir);
        else
            m_rest->move(0, dir);
        return true;
    }
    default:
        return handleDigit(press);
    }
}

// Ctrl+, opens the settings wherever the palette is.
bool PaletteController::openSettings(const KeyPress &press)
{
    if (!press.isCommandChord())
        return false;
    if (m_actions.onOpenSettings)
        m_actions.onOpenSettings();
    return true;
}

bool PaletteController::handleDigit(const KeyPress &press)
{
    const std::optional<int> digit = press.isCommandChord() ? press.digit() : std::nullopt;
    if (!digit || *digit == 0)
        return false;
    // A digit past the last scene is swallowed all the same: it is no text for the field.
    if (*digit <= m_store->rest().scenes.size())
        m_store->runScene(*digit - 1);
    return true;
}

bool PaletteController::handleNotificationsKey(const KeyPress &press)
{
    const bool filterEmpty = m_store->query().isEmpty();
    switch (press.key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    case Qt::Key_Comma:
        return openSettings(press);
    case Qt::Key_Space:
        return !press.isPlain() || filterEmpty;
    case Qt::Key_Backspace:
        if (press.isPlain() && filterEmpty) {
            m_store->exitNotifications();
            return true;
        }
        if (press.isCommandChord()) {
            m_store->notifications()->clear();
            if (m_actions.onClearBanners)
                m_actions.onClearBanners();
            return true;
        }
        return false;
    case Qt::Key_Escape:
        escape();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return filterEmpty;
    case Qt::Key_Down:
    case Qt::Key_Up:
        m_store->moveSelection(press.key == Qt::Key_Down ? 1 : -1);
        return true;
    default:
        return false;
    }
}

PaletteController::EscapeAct PaletteController::escapeAct() const
{
    const bool typed = !m_store->query().isEmpty();
    if (m_store->showsNotifications())
        return typed ? EscapeAct::ClearFilter : EscapeAct::LeaveList;
    if (m_gate->hasArmed())
        return EscapeAct::Disarm;
    if (detailOpen())
        return EscapeAct::CloseControls;
    if (typed)
        return m_store->isScoped() ? EscapeAct::ClearFilter : EscapeAct::ClearSearch;
    if (m_store->isScoped())
        return EscapeAct::LeaveRoom;
    return EscapeAct::Hide;
}

void PaletteController::escape()
{
    switch (escapeAct()) {
    case EscapeAct::Disarm:
        m_gate->reset();
        return;
    case EscapeAct::CloseControls:
        m_store->closeDetail();
        return;
    case EscapeAct::ClearSearch:
    case EscapeAct::ClearFilter:
        m_store->setQuery(QString());
        focusSearch();
        return;
    case EscapeAct::LeaveRoom:
        leaveRoom();
        return;
    case EscapeAct::LeaveList:
        m_store->exitNotifications();
        focusSearch();
        return;
    case EscapeAct::Hide:
        dismiss();
        return;
    }
}

void PaletteController::leaveRoom()
{
    // The overview's screen puts its focused tile back into the selection once the store is back.
    m_store->exitScope();
    focusSearch();
}

void PaletteController::activatePrimary(bool keepOpen)
{
    if (detailOpen()) {
        // Return confirms the write waiting for its second press, whichever row or click armed it.
        const std::optional<GuardGate::Armed> armed = m_gate->armed();
        const std::optional<Device> device = armed ? m_store->device(armed->deviceID) : std::nullopt;
        if (device)
            m_gate->press(*device, armed->capabilityID, armed->value, m_writer);
        else
            fireFocusedControl();
        return;
    }
    if (showsRows()) {
        // Where the row's Return key is not shown, Return leaves the row and the panel as they are.
        if (returnRunsSelectedRow())
            runSelected(this, keepOpen);
        return;
    }
    const std::optional<TileFocus> focus = m_rest->focus();
    if (!focus) {
        m_rest->setFocus(TileNavigation::first(m_rest->shape()));
        return;
    }
    switch (focus->kind) {
    case TileFocus::Kind::Room:
        enterRoom(focus->index);
        break;
    case TileFocus::Kind::Mode:
        activateMode(focus->index);
        break;
    case TileFocus::Kind::Scene:
        if (focus->index >= 0 && focus->index < m_store->rest().scenes.size())
            runScene(this, focus->index, keepOpen);
        break;
    case TileFocus::Kind::More:
        m_rest->toggleMoreRooms(); // as a click on it does
        break;
    }
}

QCoro::Task<> PaletteController::runSelected(QPointer<PaletteController> self, bool keepOpen)
{
    const QPointer<HomeStore> store = self->m_store;
    if (!store)
        co_return;
    const std::optional<Hit> hit = store->selectedHit();
    const std::optional<QString> deviceID = hit ? hit->deviceID() : std::nullopt;
    if (hit)
        co_await store->run(*hit);
    if (!self || !store)
        co_return;
    // A guarded device, the dim verb or a device without a plain switch opened its controls instead:
    // the panel stays for them.
    const bool openedStrip = deviceID && store->detailDeviceID() == deviceID;
    if (!keepOpen && !openedStrip)
        self->dismiss();
}

QCoro::Task<> PaletteController::runScene(QPointer<PaletteController> self, int index, bool keepOpen)
{
    const QPointer<HomeStore> store = self->m_store;
    if (!store)
        co_return;
    co_await store->runScene(index);
    if (self && !keepOpen)
        self->dismiss();
}

void PaletteController::enterRoom(int index)
{
    const QList<Room> rooms = m_rest->visibleRooms();
    if (index < 0 || index >= rooms.size())
        return;
    m_rest->setFocus(TileFocus::room(index));
    m_store->enterScope(rooms.at(index).id);
    focusSearch();
}

RunAction PaletteController::modeAction(int index) const
{
    const QList<Hit> &modes = m_store->rest().modes;
    return index >= 0 && index < modes.size() ? m_store->runAction(modes.at(index)) : RunAction();
}

void PaletteController::activateMode(int index)
{
    // A chip that would change nothing is not run, nor remembered as used.
    if (modeAction(index).kind == RunAction::Kind::Nothing)
        return;
    m_store->run(m_store->rest().modes.at(index)); // the panel stays open
}

PaletteController::SpaceAct PaletteController::spaceAct() const
{
    if (detailOpen())
        return focusedPress() ? SpaceAct::Control : SpaceAct::Nothing;
    if (!m_store->query().isEmpty())
        return SpaceAct::Typed;
    if (m_store->isScoped()) {
        const std::optional<Hit> hit = m_store->selectedHit();
        const bool toggles = hit && m_store->toggleAction(*hit).kind != RunAction::Kind::Nothing;
        return toggles ? SpaceAct::Selection : SpaceAct::Nothing;
    }
    const std::optional<TileFocus> focus = m_rest->focus();
    if (!focus)
        return SpaceAct::FirstTile;
    const int i = focus->index;
    switch (focus->kind) {
    case TileFocus::Kind::Scene:
        return i >= 0 && i < m_store->rest().scenes.size() ? SpaceAct::Scene : SpaceAct::Nothing;
    case TileFocus::Kind::Room: {
        // A room whose lamps cannot be switched: its tile offers the room, not a switch.
        const QList<Room> rooms = m_rest->visibleRooms();
        const bool switches =
            i >= 0 && i < rooms.size() &&
            m_store->runAction(m_store->roomHit(rooms.at(i))).kind != RunAction::Kind::Nothing;
        return switches ? SpaceAct::RoomTile : SpaceAct::Nothing;
    }
    case TileFocus::Kind::Mode:
        return modeAction(i).kind != RunAction::Kind::Nothing ? SpaceAct::Mode : SpaceAct::Nothing;
    case TileFocus::Kind::More:
        return SpaceAct::Nothing; // a button, not a switch
    }
    return SpaceAct::Nothing;
}

void PaletteController::toggleFocused(SpaceAct act)
{
    const std::optional<TileFocus> focus = m_rest->focus();
    const int i = focus ? focus->index : -1;
    switch (act) {
    case SpaceAct::Typed:
    case SpaceAct::Nothing:
        return;
    case SpaceAct::FirstTile:
        m_rest->setFocus(TileNavigation::first(m_rest->shape()));
        return;
    case SpaceAct::Control:
        fireFocusedControl();
        return;
    case SpaceAct::Selection:
        m_store->toggleSelection();
        return;
    case SpaceAct::Scene:
        m_store->runScene(i);
        return;
    case SpaceAct::RoomTile:
        m_store->run(m_store->roomHit(m_rest->visibleRooms().at(i)));
        return;
    case SpaceAct::Mode:
        activateMode(i);
        return;
    }
}

void PaletteController::toggleDetail()
{
    if (!detailOpen() && !opensControls(selectedDevice()))
        return;
    if (m_store->detailDeviceID()) {
        m_store->closeDetail();
        return;
    }
    const std::optional<Hit> hit = m_store->selectedHit();
    if (const std::optional<QString> id = hit ? hit->deviceID() : std::nullopt)
        m_store->setDetailDeviceID(id);
}

void PaletteController::moveControlFocus(int delta)
{
    const QList<int> focusable = ControlPlan::focusable(detailRows());
    if (focusable.isEmpty())
        return;
    const qsizetype at = std::max<qsizetype>(focusable.indexOf(m_controlFocus), 0);
    const qsizetype next = std::clamp<qsizetype>(at + delta, 0, focusable.size() - 1);
    setControlFocus(focusable.at(next));
}

void PaletteController::adjustFocusedControl(int dir, bool coarse)
{
    const std::optional<Device> device = detailDevice();
    const QList<ControlRow> rows = detailRows();
    if (!device || m_controlFocus < 0 || m_controlFocus >= rows.size())
        return;
    const ControlRow &row = rows.at(m_controlFocus);
    switch (row.kind()) {
    case ControlRow::Kind::ArmMode:
        m_gate->moveCursor(*device, row.capability(), dir);
        return;
    case ControlRow::Kind::Slider:
    case ControlRow::Kind::ColorTemp:
    case ControlRow::Kind::Hue:
    case ControlRow::Kind::Saturation:
    case ControlRow::Kind::Thermostat:
        break;
    default:
        return;
    }
    const QString &id = row.capability();
    const std::optional<double> value = ControlPlan::stepped(*device, id, dir, coarse);
    if (!value)
        return;
    // Through the gate like every other write of the strip: it asks first for one that lowers security,
    // and any other ends a write still waiting for its confirmation.
    m_gate->press(*device, id, CapabilityValue::fromNumber(*value), m_writer);
}

bool PaletteController::isLitDimmable(const Device &device)
{
    const std::optional<QString> onoff = device.onoffKey();
    const Capability *state = onoff ? device.capability(*onoff) : nullptr;
    return device.dimKey() && state && state->value == CapabilityValue::fromBool(true);
}

std::optional<QString> PaletteController::focusedTileZone() const
{
    const std::optional<TileFocus> focus = m_rest->focus();
    if (!focus || focus->kind != TileFocus::Kind::Room)
        return std::nullopt;
    const QList<Room> rooms = m_rest->visibleRooms();
    return focus->index >= 0 && focus->index < rooms.size() ? std::optional(rooms.at(focus->index).id)
                                                            : std::nullopt;
}

PaletteController::DimAct PaletteController::dimAct() const
{
    if (detailOpen())
        return DimAct::Control;
    if (const Device *device = selectedDevice(); device && device->dimKey())
        return DimAct::Lamp;
    switch (m_store->mode()) {
    case HomeStore::Mode::Rest: {
        const std::optional<QString> zone = focusedTileZone();
        const DeviceMap &devices = m_store->devices();
        const bool any =
            zone && std::any_of(devices.cbegin(), devices.cend(), [&](const Device &device) {
                return device.zoneID == *zone && device.isControllable() && isLitDimmable(device);
            });
        return any ? DimAct::LitLamps : DimAct::Nothing;
    }
    case HomeStore::Mode::Room:
        return onRoomRow() && m_store->room() && m_store->room()->dimmableCount >= 1 ? DimAct::Room
                                                                                     : DimAct::Nothing;
    case HomeStore::Mode::Results:
    case HomeStore::Mode::Notifications:
        break;
    }
    return DimAct::Nothing;
}

void PaletteController::dim(int dir, bool coarse)
{
    const double delta = (coarse ? 0.25 : 0.05) * dir;
    switch (dimAct()) {
    case DimAct::Nothing:
        return;
    case DimAct::Control:
        adjustFocusedControl(dir, coarse);
        return;
    case DimAct::Lamp: {
        const QString id = selectedDevice()->id; // the nudge replaces the device
        m_store->nudgeDim(id, delta);
        return;
    }
    case DimAct::LitLamps:
        for (const Device &device : m_store->devices(*focusedTileZone())) {
            if (isLitDimmable(device))
                m_store->nudgeDim(device.id, delta);
        }
        return;
    case DimAct::Room:
        m_store->nudgeRoomDim(delta);
        return;
    }
}

std::optional<PaletteController::ControlPress> PaletteController::focusedPress() const
{
    const std::optional<Device> device = detailDevice();
    const QList<ControlRow> rows = detailRows();
    if (!device || m_controlFocus < 0 || m_controlFocus >= rows.size())
        return std::nullopt;
    const ControlRow &row = rows.at(m_controlFocus);
    switch (row.kind()) {
    case ControlRow::Kind::Toggle:
    case ControlRow::Kind::Action:
    case ControlRow::Kind::Lock:
        return ControlPress{row.capability(), flipped(*device, row.capability())};
    case ControlRow::Kind::Media:
        if (const std::optional<QString> playing = row.playing())
            return ControlPress{*playing, flipped(*device, *playing)};
        return std::nullopt;
    case ControlRow::Kind::ArmMode:
        if (const std::optional<QString> option = m_gate->cursor(*device, row.capability()))
            return ControlPress{row.capability(), CapabilityValue::fromString(*option)};
        return std::nullopt;
    case ControlRow::Kind::OpenButton:
        return ControlPress{row.capability(), CapabilityValue::fromBool(true)};
    default:
        return std::nullopt;
    }
}

void PaletteController::fireFocusedControl()
{
    const std::optional<ControlPress> press = focusedPress();
    const std::optional<Device> device = press ? detailDevice() : std::nullopt;
    if (device)
        m_gate->press(*device, press->capability, press->value, m_writer);
}
