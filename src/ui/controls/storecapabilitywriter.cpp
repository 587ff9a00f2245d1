#include "ui/controls/storecapabilitywriter.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QCoro::Task<> nothing()
{
    co_return;
}

} // namespace

StoreCommands::~StoreCommands() = default;

StoreCapabilityWriter::StoreCapabilityWriter(std::shared_ptr<StoreCommands> commands)
    : m_commands(std::move(commands))
{}

bool StoreCapabilityWriter::handles(const QString &capabilityID) const
{
    Q_UNUSED(capabilityID);
    return true;
}

QCoro::Task<> StoreCapabilityWriter::write(QString deviceID, QString capabilityID, CapabilityValue value)
{
    // A number that is no number would reach the hub as null.
    if (const auto number = value.numberValue(); number && !std::isfinite(*number))
        return nothing();

    const std::optional<Device> device = m_commands->device(deviceID);
    if (!device || device->isGuarded())
        return m_commands->setCapability(deviceID, capabilityID, value);

    if (const auto level = value.numberValue(); level && capabilityID == device->dimKey())
        return m_commands->setDim(deviceID, std::clamp(*level, 0.0, 1.0));
    if (const auto target = value.numberValue(); target && capabilityID == u"target_temperature")
        return m_commands->setTarget(deviceID, *target);
    if (const auto on = value.boolValue(); on && capabilityID == device->onoffKey()) {
        const std::optional<bool> isOn = device->isOn();
        if (isOn == *on)
            return nothing();
        // Toggling an unknown state could switch the wrong way: write the asked state itself.
        if (isOn)
            return m_commands->toggle(deviceID);
    }
    return m_commands->setCapability(deviceID, capabilityID, value);
}
