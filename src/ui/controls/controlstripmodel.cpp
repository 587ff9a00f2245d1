#include "ui/controls/controlstripmodel.h"

#include "store/home/homestore.h"
#include "ui/controls/capabilitywriter.h"
#include "ui/controls/controlnumbers.h"
#include "ui/controls/controlplan.h"
#include "ui/controls/controlrowlook.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/symbolcatalog.h"

#include <algorithm>
#include <cmath>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

// Row ids with a running count, so a row that repeats (a component listed twice) keeps an identity.
QStringList keysOf(const QList<ControlRowView> &views)
{
    QHash<QString, int> seen;
    QStringList keys;
    for (const ControlRowView &view : views)
        keys.append(view.rowId + u'#' + QString::number(seen[view.rowId]++));
    return keys;
}

} // namespace

ControlStripModel::ControlStripModel(HomeStore *store, const QString &deviceID,
                                     std::shared_ptr<CapabilityWriter> writer, GuardGate *gate,
                                     LevelCoalescer *coalescer, QObject *parent)
    : QAbstractListModel(parent), m_store(store), m_deviceID(deviceID), m_writer(std::move(writer)),
      m_gate(gate), m_coalescer(coalescer)
{
    if (store) {
        connect(store, &HomeStore::devicesChanged, this, [this] {
            if (m_store && m_store->device(m_deviceID) != m_device)
                refresh();
        });
    }
    if (gate) {
        connect(gate, &GuardGate::armedChanged, this, &ControlStripModel::refresh);
        connect(gate, &GuardGate::cursorsChanged, this, &ControlStripModel::refresh);
    }
    if (coalescer) {
        connect(coalescer, &LevelCoalescer::pendingChanged, this, [this](const QString &changedDevice) {
            if (changedDevice == m_deviceID)
                refresh();
        });
    }
    refresh();
}

int ControlStripModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_views.size());
}

QVariant ControlStripModel::data(const QModelIndex &index, int role) const
{
    if (role != LookRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return QVariant::fromValue(ControlRowLook::make(m_views.at(index.row())));
}

QHash<int, QByteArray> ControlStripModel::roleNames() const
{
    return {{LookRole, "look"}};
}

QString ControlStripModel::deviceName() const
{
    return m_device ? m_device->name : QString();
}

bool ControlStripModel::available() const
{
    return m_device && m_device->available;
}

QString ControlStripModel::offlineNotice() const
{
    if (!m_device || m_device->available)
        return {};
    const QString message = m_device->unavailableMessage.value_or(QString());
    return message.isEmpty() ? u"Dit apparaat reageert nu niet."_s : message;
}

QString ControlStripModel::offlineGlyph() const
{
    return SymbolCatalog::glyph(u"exclamationmark.triangle.fill"_s);
}

void ControlStripModel::setFocusedRow(int row)
{
    if (row == m_focusedRow)
        return;
    m_focusedRow = row;
    refresh();
    Q_EMIT focusedRowChanged();
}

QList<ControlRowView> ControlStripModel::buildViews(const QList<ControlRow> &rows) const
{
    QList<ControlRowView> views;
    views.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        views.append(ControlRowView::make(*m_device, rows[i], i == m_focusedRow, m_gate, m_coalescer));
    return views;
}

void ControlStripModel::refresh()
{
    std::optional<Device> device = m_store ? m_store->device(m_deviceID) : std::nullopt;
    const bool announce = !m_device || !device || m_device->name != device->name ||
                          m_device->available != device->available ||
                          m_device->unavailableMessage != device->unavailableMessage;
    m_device = std::move(device);
    const QList<ControlRow> rows =
        m_device && m_writer ? ControlPlan::rows(*m_device, *m_writer) : QList<ControlRow>();
    const QList<ControlRowView> views = m_device ? buildViews(rows) : QList<ControlRowView>();

    // Diff on the row identities: rows that went away, then each place in the new order.
    const QStringList wanted = keysOf(views);
    QStringList keys = keysOf(m_views);
    for (int i = int(keys.size()) - 1; i >= 0; --i) {
        if (wanted.contains(keys[i]))
            continue;
        beginRemoveRows({}, i, i);
        keys.removeAt(i);
        m_rows.removeAt(i);
        m_views.removeAt(i);
        endRemoveRows();
    }
    for (int i = 0; i < int(wanted.size()); ++i) {
        const int at = int(keys.indexOf(wanted[i], i));
        if (at < 0) {
            beginInsertRows({}, i, i);
            keys.insert(i, wanted[i]);
            m_rows.insert(i, rows[i]);
            m_views.insert(i, views[i]);
            endInsertRows();
            continue;
        }
        if (at != i) {
            beginMoveRows({}, at, at, {}, i);
            keys.move(at, i);
            m_rows.move(at, i);
            m_views.move(at, i);
            endMoveRows();
        }
        if (m_views[i] != views[i] || m_rows[i] != rows[i]) {
            m_rows[i] = rows[i];
            m_views[i] = views[i];
            Q_EMIT dataChanged(index(i), index(i));
        }
    }
    if (announce)
        Q_EMIT deviceChanged();
}

const ControlRowView *ControlStripModel::enabledView(int row) const
{
    if (!m_device || row < 0 || row >= m_views.size() || !m_views[row].enabled)
        return nullptr;
    return &m_views[row];
}

void ControlStripModel::send(const QString &capabilityID, const CapabilityValue &value)
{
    if (!m_device || !m_writer)
        return;
    const bool guarded = std::any_of(m_rows.begin(), m_rows.end(), [&](const ControlRow &row) {
        return row.isGuardedRow() && row.capability() == capabilityID;
    });
    if (guarded || Device::lowersSecurity(capabilityID, value)) {
        // Without a gate there is nobody to ask: such a write is not sent at all.
        if (m_gate)
            m_gate->press(*m_device, capabilityID, value, m_writer);
        return;
    }
    CapabilityWriter::send(m_writer, m_deviceID, capabilityID, value);
}

void ControlStripModel::activate(int row)
{
    const ControlRowView *view = enabledView(row);
    if (view && view->pressCapability && view->pressValue)
        send(*view->pressCapability, *view->pressValue);
}

void ControlStripModel::chooseMode(int row, const QString &optionID)
{
    const ControlRowView *view = enabledView(row);
    if (!view || m_rows[row].kind() != ControlRow::Kind::ArmMode)
        return;
    const Capability *capability = m_device->capability(view->capability);
    if (!capability)
        return;
    const bool offered = std::any_of(capability->options.begin(), capability->options.end(),
                                     [&](const Capability::Option &option) { return option.id == optionID; });
    if (offered)
        send(view->capability, CapabilityValue::fromString(optionID));
}

void ControlStripModel::scrub(int row, double fraction)
{
    drag(row, fraction, false);
}

void ControlStripModel::release(int row, double fraction)
{
    drag(row, fraction, true);
}

void ControlStripModel::drag(int row, double fraction, bool ended)
{
    const ControlRowView *view = enabledView(row);
    if (!view || !view->barCapability || !std::isfinite(fraction) ||
        !ControlNumbers::hasRange(*m_device, *view->barCapability))
        return;
    const QString capabilityID = *view->barCapability;
    const double value = ControlNumbers::denormalise(*m_device, fraction, capabilityID);
    if (!m_coalescer)
        send(capabilityID, CapabilityValue::fromNumber(value));
    else if (ended)
        m_coalescer->release(m_deviceID, capabilityID, value);
    else
        m_coalescer->scrub(m_deviceID, capabilityID, value);
}

void ControlStripModel::adjust(int row, int direction)
{
    const ControlRowView *view = enabledView(row);
    if (!view || direction == 0)
        return;
    const int sign = direction < 0 ? -1 : 1;
    const ControlRow &control = m_rows[row];
    switch (control.kind()) {
    case ControlRow::Kind::Thermostat: {
        const double target =
            ControlNumbers::clampToRange(*m_device, view->value + sign * 0.5, view->capability);
        send(view->capability, CapabilityValue::fromNumber(target));
        break;
    }
    case ControlRow::Kind::Slider:
    case ControlRow::Kind::ColorTemp:
    case ControlRow::Kind::Hue:
    case ControlRow::Kind::Saturation: {
        const double step = ControlPlan::step(view->capability, false);
        const double fraction = std::clamp(view->value + sign * step, 0.0, 1.0);
        send(view->capability,
             CapabilityValue::fromNumber(ControlNumbers::denormalise(*m_device, fraction, view->capability)));
        break;
    }
    case ControlRow::Kind::ArmMode:
        if (m_gate)
            m_gate->moveCursor(*m_device, view->capability, sign);
        break;
    default:
        break;
    }
}
