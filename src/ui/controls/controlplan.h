#pragma once

#include "homey/model/device.h"
#include "ui/controls/controlrow.h"

#include <optional>
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
// What one keyboard step in dir (-1 or 1) sets a bar's or thermostat's capability to, from its value now
// (the bottom of the range without one). None where the device lacks the capability or its range has
// no finite, ordered ends: the arrow keys then write nothing, and no key cap offers them.
std::optional<double> stepped(const Device &device, const QString &capabilityID, int dir, bool coarse);

} // namespace ControlPlan
