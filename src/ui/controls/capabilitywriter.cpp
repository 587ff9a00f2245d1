#include "ui/controls/capabilitywriter.h"

#include "base/log.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace {

// Parameters by value: the frame owns everything it needs however long the write takes.
QCoro::Task<> sendDetached(std::shared_ptr<CapabilityWriter> writer, QString deviceID, QString capabilityID,
                           CapabilityValue value)
{
    try {
        co_await writer->write(deviceID, capabilityID, value);
    } catch (const std::exception &error) {
        log(u"!! schrijven naar "_s + deviceID + u' ' + capabilityID + u" mislukt: "_s +
            QString::fromUtf8(error.what()));
    } catch (...) {
        log(u"!! schrijven naar "_s + deviceID + u' ' + capabilityID + u" mislukt"_s);
    }
}

} // namespace

CapabilityWriter::~CapabilityWriter() = default;

void CapabilityWriter::send(const std::shared_ptr<CapabilityWriter> &writer, const QString &deviceID,
                            const QString &capabilityID, const CapabilityValue &value)
{
    sendDetached(writer, deviceID, capabilityID, value);
}
