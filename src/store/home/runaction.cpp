#include "store/home/runaction.h"

namespace {

RunAction make(RunAction::Kind kind, double level = 0)
{
    RunAction action;
    action.kind = kind;
    action.level = level;
    return action;
}

RunAction forRoom(const std::optional<SearchVerb> &verb, bool hasLamps)
{
    using Kind = RunAction::Kind;
    // Every verb of a room works its lamps: without them Return would promise what it cannot do.
    if (!hasLamps)
        return make(Kind::Nothing);
    if (!verb)
        return make(Kind::Default);
    switch (verb->kind()) {
    case SearchVerb::Kind::setDim:
        // The room dimmer's rules: lamps that are off are switched on.
        return make(Kind::SetLevel, verb->level());
    case SearchVerb::Kind::on:
        return make(Kind::SwitchOn);
    case SearchVerb::Kind::off:
        return make(Kind::SwitchOff);
    case SearchVerb::Kind::dim:
        break;
    }
    return make(Kind::Default);
}

RunAction forDevice(const Device &device, const std::optional<SearchVerb> &verb)
{
    using Kind = RunAction::Kind;
    if (device.isGuarded())
        return make(Kind::OpenStrip);
    if (!verb)
        return make(Kind::Default);
    switch (verb->kind()) {
    case SearchVerb::Kind::on:
        return make(device.onoffKey() ? Kind::SwitchOn : Kind::Default);
    case SearchVerb::Kind::off:
        return make(device.onoffKey() ? Kind::SwitchOff : Kind::Default);
    case SearchVerb::Kind::dim:
        return make(device.dimKey() ? Kind::OpenStrip : Kind::Default);
    case SearchVerb::Kind::setDim:
        return device.dimKey() ? make(Kind::SetLevel, verb->level()) : make(Kind::Default);
    }
    return make(Kind::Default);
}

} // namespace

RunAction RunAction::of(const Hit &hit, const Device *device, const std::optional<SearchVerb> &verb,
                        bool roomHasLamps)
{
    switch (hit.target.kind()) {
    case Hit::Target::Kind::flow:
    case Hit::Target::Kind::mood:
        return make(Kind::Start);
    case Hit::Target::Kind::room:
        return forRoom(verb, roomHasLamps);
    case Hit::Target::Kind::device:
        return device ? forDevice(*device, verb) : make(Kind::Nothing);
    }
    return make(Kind::Nothing);
}

RunAction RunAction::ofToggle(const Hit &hit, const Device *device, bool roomHasLamps)
{
    switch (hit.target.kind()) {
    case Hit::Target::Kind::flow:
    case Hit::Target::Kind::mood:
        return make(Kind::Start);
    case Hit::Target::Kind::room:
        return make(roomHasLamps ? Kind::Default : Kind::Nothing);
    case Hit::Target::Kind::device:
        if (!device || !device->onoffKey())
            return make(Kind::Nothing);
        return make(device->isGuarded() ? Kind::OpenStrip : Kind::Default);
    }
    return make(Kind::Nothing);
}
