#include "homey/wire/rawcapabilityevent.h"

using namespace Qt::StringLiterals;

RawCapabilityEvent RawCapabilityEvent::decode(const JsonReader &reader)
{
    return {reader.required<QString>("capabilityId"_L1), reader.optional<CapabilityValue>("value"_L1),
            reader.optional<QString>("transactionId"_L1), reader.optional<double>("transactionTime"_L1)};
}
