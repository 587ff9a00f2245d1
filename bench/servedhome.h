#pragma once

// The generated home as the in-memory hub of the tests serves it, for benchmarks of a loaded store.
#include "generatedhome.h"
#include "support/fakerestclient.h"

#include <memory>

namespace ServedHome {

// withFavorites false: the home without its favourites, so that the mode chips are the first lit lamps,
// as in bench_live's home.
inline std::shared_ptr<FakeRestClient> client(bool withFavorites = true)
{
    const GeneratedHome::Home &home = GeneratedHome::home();
    auto rest = std::make_shared<FakeRestClient>(Clock::system());
    rest->home.zones = home.zones.values();
    rest->home.devices = home.devices.values();
    rest->home.flows = home.flows.values();
    rest->home.moods = home.moods.values();
    if (withFavorites)
        rest->home.favorites = home.favorites;
    return rest;
}

} // namespace ServedHome
