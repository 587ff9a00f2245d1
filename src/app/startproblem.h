#pragma once

#include "homey/model/connectionstate.h"

#include <exception>
#include <optional>
#include <QString>

// A start that did not get through, as the connection-problem screen tells it. The tray and the
// settings window say the same in brief: while a start has failed, the store behind it is only the
// stopped one and its idle state would say that nothing happened.
struct StartProblem {
    // The advice the problem screen shows: the failure's own description, then what to do.
    QString advice;
    QString description;
    QString remedy;
    // The start is tried again by itself.
    bool retrying = false;
    // The hub refused the key or the keyring failed: the pairing screen comes up.
    bool needsPairing = false;

    static StartProblem of(const std::exception_ptr &error, bool retrying);
    // Whether this failure needs the person to pair again: the one place that decides it.
    static bool needsPairingAfter(const std::exception_ptr &error);

    // The connection as the tray and the settings window tell it: a store that got through speaks for
    // itself, live or not; otherwise a failed start says what went wrong, as a failed connection.
    static ConnectionState shown(const ConnectionState &store, const std::optional<StartProblem> &start);

    bool operator==(const StartProblem &) const = default;
};
