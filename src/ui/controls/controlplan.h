#pragma once

#include "homey/model/device.h"
#include "ui/controls/controlrow.h"

#include <QList>
#include <QString>

class CapabilityWriter;

// The capability id up to its first full stop: every capability test of the controls compares this.
inline QString capabilityBase(const QString &capabilityID)
{
    return Device::baseCapability(capabilityID);
}

// Turns a device into its ordered control rows. Holds no state; rows are recomputed on every call.
namespace ControlPlan {

QList<ControlRow> rows(const Device &device, const CapabilityWriter &writer);
// Indices of the rows that take the keyboard focus, ascending.
QList<int> focusable(const QList<ControlRow> &rows);
// The keyboard step of a bar (a fraction of it) or a thermostat (degrees).
double step(const QString &capabilityID, bool coarse);

} // namespace ControlPlan
