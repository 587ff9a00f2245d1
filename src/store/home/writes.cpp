// The one optimistic write path to the hub: shown at once, undone when the hub refuses it.
#include "base/log.h"
#include "homey/rest/homeyrestclient.h"
#include "store/home/homestore.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

QString HomeStore::writeKey(const QString &deviceID, const QString &capabilityID)
{
    return deviceID + u'|' + capabilityID;
}

QCoro::Task<> HomeStore::setCapability(QString deviceID, QString capabilityID, CapabilityValue value)
{
    return write(this, std::move(deviceID), std::move(capabilityID), std::move(value));
}

QCoro::Task<> HomeStore::write(QPointer<HomeStore> self, QString deviceID, QString capabilityID,
                               CapabilityValue value, std::optional<CapabilityValue> restore)
{
    if (!self)
        co_return;
    const auto device = self->m_devices.constFind(deviceID);
    if (device == self->m_devices.constEnd())
        co_return;
    const Capability *capability = device->capability(capabilityID);
    if (!capability || !capability->setable)
        co_return;
    const CapabilityValue old = restore ? *restore : capability->value.value_or(CapabilityValue::none());
    // Numbers go out on the capability's grid, without binary noise.
    if (const std::optional<double> number = value.numberValue())
        value = CapabilityValue::fromNumber(capability->writable(*number));
    const QString deviceName = device->name;

    // No suspension from here to the request: no realtime event can slip between the local change and
    // the record that tells its echo apart.
    self->applyLocal(deviceID, capabilityID, value);
    const QString key = writeKey(deviceID, capabilityID);
    const quint64 sequence = ++self->m_writeSequence;
    self->m_latestWrite.insert(key, sequence);
    self->m_pending.insert_or_assign(
        key, PendingWrite{value, self->m_options.clock->now() + pendingLifetime, sequence});

    const std::shared_ptr<HomeyRESTClient> rest = self->m_restClient;
    std::exception_ptr failure;
    try {
        co_await rest->setCapability(deviceID, capabilityID, value);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (!failure) {
        self->setLastError(std::nullopt);
        co_return;
    }
    // A later write to the same capability owns the value and the record now; only our own are undone.
    if (self->m_latestWrite.value(key) == sequence) {
        self->m_pending.erase(key);
        self->applyLocal(deviceID, capabilityID, old);
    }
    const HomeyError error = asHomeyError(failure);
    // The banner goes with the next change; the log keeps what was refused.
    log(u"!! schrijven mislukt: "_s + deviceName + u" ("_s + deviceID + u") "_s + capabilityID + u" = "_s +
        describe(value) + u": "_s + error.errorDescription());
    self->setLastError(error);
}

void HomeStore::applyLocal(const QString &deviceID, const QString &capabilityID, const CapabilityValue &value)
{
    const auto found = m_devices.constFind(deviceID);
    if (found == m_devices.constEnd())
        return;
    Device device = *found;
    const auto capability = device.capabilities.find(capabilityID);
    if (capability == device.capabilities.end())
        return;
    capability->second.value = value;
    putDevice(device);
    // A batch rebuilds once at its end.
    if (m_derivedBatch > 0)
        return;
    rebuildRest();
    rebuildRoom();
    recomputeHits();
}

QCoro::Task<> HomeStore::perform(QPointer<HomeStore> self, QList<WriteJob> jobs)
{
    if (jobs.isEmpty())
        co_return;
    const int lanes = int(std::min<qsizetype>(jobs.size(), maxWritesInFlight));
    // Every lane starts at once; each runs its own jobs one after another.
    std::vector<QCoro::Task<>> running;
    running.reserve(lanes);
    for (int lane = 0; lane < lanes; ++lane)
        running.push_back(performLane(self, jobs, lane, lanes));
    for (QCoro::Task<> &lane : running)
        co_await lane;
}

QCoro::Task<> HomeStore::performLane(QPointer<HomeStore> self, QList<WriteJob> jobs, int lane, int lanes)
{
    for (qsizetype index = lane; index < jobs.size(); index += lanes) {
        if (!self)
            co_return;
        const WriteJob &job = jobs.at(index);
        if (job.kind == WriteJob::Kind::Set)
            co_await write(self, job.deviceID, job.capabilityID, job.value, job.restore);
        else
            co_await setDimTask(self, job.deviceID, job.level, job.before);
    }
}
