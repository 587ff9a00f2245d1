#pragma once

#include "ui/controls/capabilitywriter.h"
#include "ui/controls/storecommands.h"

#include <memory>

// Routes each write to the store by the exact capability id: the store's dedicated commands only for
// the device's own on/off and dim capabilities and its "target_temperature", everything else (a second
// channel such as "onoff.output2", and every write to a guarded device) through the generic write.
class StoreCapabilityWriter final : public CapabilityWriter {
public:
    explicit StoreCapabilityWriter(std::shared_ptr<StoreCommands> commands);

    bool handles(const QString &capabilityID) const override;
    QCoro::Task<> write(QString deviceID, QString capabilityID, CapabilityValue value) override;

private:
    std::shared_ptr<StoreCommands> m_commands;
};
