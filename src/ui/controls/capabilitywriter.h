#pragma once

#include "homey/model/capabilityvalue.h"

#include <memory>
#include <QCoroTask>
#include <QString>

class HomeStore;

// The one path from every control to the home. Shared by the palette, every strip and the gate.
class CapabilityWriter {
public:
    virtual ~CapabilityWriter();

    // Whether this writer can write the capability; a control it cannot write is shown read-only.
    virtual bool handles(const QString &capabilityID) const = 0;
    // Carries one write to the home; finishes when the store has finished the command. Never throws
    // for a failed write: the store shows failures itself.
    virtual QCoro::Task<> write(QString deviceID, QString capabilityID, CapabilityValue value) = 0;

    // The writer of the running application: handles everything and routes to the store's commands.
    static std::shared_ptr<CapabilityWriter> storeBacked(HomeStore *store);

    // Starts a write that nobody waits for; whatever it throws ends up in the log.
    static void send(const std::shared_ptr<CapabilityWriter> &writer, const QString &deviceID,
                     const QString &capabilityID, const CapabilityValue &value);
};
