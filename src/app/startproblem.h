#pragma once

#include "homey/model/connectionstate.h"

#include <exception>
#include <optional>
#include <QString>

// A start that did not get through, as the connection-problem screen tells it. The tray and the
// settings window say the same in brief: while a start has failed, the store behind it is only the
// stopped one and its idle state would say that nothing happened.
struct StartProblem {
    // The advice the problem screen shows.
    QString advice;
    // The start is tried again by itself.
    bool retrying = false;
    // The hub refused the key: the pairing screen is up.
    bool keyRefused = false;

    static StartProblem of(const std::exception_ptr &error, bool retrying);

    // The connection as the tray and the settings window tell it: a store that got through speaks for
    // itself, live or not; otherwise a failed start says what went wrong, as a failed connection.
    static ConnectionState shown(const ConnectionState &store, const std::optional<StartProblem> &start);

    bool operator==(const StartProblem &) const = default;
};
