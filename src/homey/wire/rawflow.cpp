#include "homey/wire/rawflow.h"

using namespace Qt::StringLiterals;

RawFlow RawFlow::decode(const JsonReader &reader)
{
    RawFlow flow;
    flow.id = reader.required<QString>("id"_L1);
    flow.name = reader.required<QString>("name"_L1);
    flow.folder = reader.optional<QString>("folder"_L1);
    flow.enabled = reader.optional<bool>("enabled"_L1);
    flow.broken = reader.optional<bool>("broken"_L1);
    flow.triggerable = reader.optional<bool>("triggerable"_L1);
    return flow;
}
