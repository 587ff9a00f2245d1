#pragma once

#include "homey/model/device.h"
#include "homey/model/hit.h"
#include "store/search/searchverb.h"

#include <optional>

// What running a row comes down to, decided from the home as it stands and the verb typed after the
// row's name, before anything is sent. The store acts on it; the palette names it beside Return, so
// the word on the selected row and what Return does cannot drift apart.
struct RunAction {
    enum class Kind {
        Nothing,   // a device the home no longer holds, or a room without a lamp to switch
        Start,     // a flow or a mood
        OpenStrip, // a guarded device, or the dim verb on a dimmable lamp: its controls open
        Default,   // without a verb that applies: a device's own default, a room's lamps toggled
        SwitchOn,
        SwitchOff,
        SetLevel, // level: a lamp's, or a room's lamps
    };

    Kind kind = Kind::Nothing;
    double level = 0; // SetLevel's, 0 to 1

    // device: the hit's device as the home holds it; nullptr for a device the home does not hold, and
    // unused for any other hit. roomHasLamps: for a room hit, whether one of its lamps has a switch
    // that the room's commands reach.
    static RunAction of(const Hit &hit, const Device *device, const std::optional<SearchVerb> &verb,
                        bool roomHasLamps);
    // What the toggle key does with a row, which no typed verb changes: a device's switch flipped
    // (Default), a guarded device's controls opened, a room's lamps switched together, a flow or mood
    // started. Nothing for a device without a switch and wherever running the row would be Nothing.
    static RunAction ofToggle(const Hit &hit, const Device *device, bool roomHasLamps);

    bool operator==(const RunAction &) const = default;
};
