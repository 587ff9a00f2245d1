#pragma once

#include <exception>

// Thrown when an operation stops because its caller cancelled it. The program's only cancellation type.
class Cancelled : public std::exception {
public:
    const char *what() const noexcept override { return "cancelled"; }
};
