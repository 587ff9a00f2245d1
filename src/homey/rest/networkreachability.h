#pragma once

#include <functional>
#include <QNetworkReply>

// Whether a failed request means that this machine has no network at all. Asked of the system, never
// read from the wording of Qt's (English) error texts.
namespace NetworkReachability {

// True when the system says the machine is disconnected: its network information where a backend
// loads (NetworkManager, GLib), else its interfaces (none but loopback is up and running with an
// address). Main thread only.
bool machineIsOffline();

// A transport failure that a missing network can cause (no route, a name that does not resolve) means
// offline when machineIsOffline says so; Qt's own offline verdicts always do. A host that answered or
// refused never does. Tests hand in their own machineIsOffline.
bool meansOffline(QNetworkReply::NetworkError error,
                  const std::function<bool()> &isMachineOffline = &machineIsOffline);

} // namespace NetworkReachability
