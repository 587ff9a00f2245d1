#include "homey/wire/rawsystem.h"

using namespace Qt::StringLiterals;

RawSystem::CPU::Times RawSystem::CPU::Times::decode(const JsonReader &reader)
{
    Times times;
    times.user = reader.required<qint64>("user"_L1);
    times.nice = reader.required<qint64>("nice"_L1);
    times.sys = reader.required<qint64>("sys"_L1);
    times.idle = reader.required<qint64>("idle"_L1);
    times.irq = reader.required<qint64>("irq"_L1);
    return times;
}

RawSystem::CPU RawSystem::CPU::decode(const JsonReader &reader)
{
    return {reader.required<Times>("times"_L1)};
}

RawSystem RawSystem::decode(const JsonReader &reader)
{
    RawSystem system;
    system.homeyVersion = reader.optional<QString>("homeyVersion"_L1);
    system.totalmem = reader.required<qint64>("totalmem"_L1);
    system.freemem = reader.required<qint64>("freemem"_L1);
    system.uptime = reader.optional<double>("uptime"_L1);
    system.cpus = reader.optional<QList<CPU>>("cpus"_L1);
    return system;
}
