#pragma once

#include "ui/controls/storecommands.h"

#include <QPointer>

class HomeStore;

// The live store's commands. A store that is gone takes no more writes.
class HomeStoreCommands final : public StoreCommands {
public:
    explicit HomeStoreCommands(HomeStore *store);

    std::optional<Device> device(const QString &deviceID) const override;
    QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value) override;
    QCoro::Task<> toggle(QString deviceID) override;
    QCoro::Task<> setDim(QString deviceID, double level) override;
    QCoro::Task<> setTarget(QString deviceID, double temperature) override;

private:
    QPointer<HomeStore> m_store;
};
