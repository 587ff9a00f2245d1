#pragma once

// Whether this machine has any network at all, asked of its interfaces: Qt's error texts are English and
// their wording is no contract.
namespace NetworkPresence {

// True when an interface other than the loopback one is up and running with an address.
bool hasUsableInterface();

} // namespace NetworkPresence
