// The two failure types of the system. An Error carries the whole
// user-facing message, composed where the fault is found; a SilentAbort ends
// an operation without any message (the user has already been told).
#pragma once

#include <stdexcept>
#include <string>

namespace bq {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};

}  // namespace bq
