#include "homey/wire/rawdeviceui.h"

using namespace Qt::StringLiterals;

RawDeviceUI::Component RawDeviceUI::Component::decode(const JsonReader &reader)
{
    return {reader.optional<QString>("id"_L1), reader.optional<QList<QString>>("capabilities"_L1)};
}

RawDeviceUI RawDeviceUI::decode(const JsonReader &reader)
{
    return {reader.optional<QString>("quickAction"_L1), reader.optional<QList<Component>>("components"_L1)};
}
