#include "ui/controls/homestorecommands.h"

#include "store/home/homestore.h"
#include "ui/controls/storecapabilitywriter.h"

namespace {

QCoro::Task<> nothing()
{
    co_return;
}

} // namespace

HomeStoreCommands::HomeStoreCommands(HomeStore *store) : m_store(store) {}

std::optional<Device> HomeStoreCommands::device(const QString &deviceID) const
{
    return m_store ? m_store->device(deviceID) : std::nullopt;
}

QCoro::Task<> HomeStoreCommands::setCapability(QString deviceID, QString capabilityID, CapabilityValue value)
{
    return m_store ? m_store->setCapability(deviceID, capabilityID, value) : nothing();
}

QCoro::Task<> HomeStoreCommands::toggle(QString deviceID)
{
    return m_store ? m_store->toggle(deviceID) : nothing();
}

QCoro::Task<> HomeStoreCommands::setDim(QString deviceID, double level)
{
    return m_store ? m_store->setDim(deviceID, level) : nothing();
}

QCoro::Task<> HomeStoreCommands::setTarget(QString deviceID, double temperature)
{
    return m_store ? m_store->setTarget(deviceID, temperature) : nothing();
}

// Kept apart from the writer interface: code that only sends through a writer needs no store.
std::shared_ptr<CapabilityWriter> CapabilityWriter::storeBacked(HomeStore *store)
{
    return std::make_shared<StoreCapabilityWriter>(std::make_shared<HomeStoreCommands>(store));
}
