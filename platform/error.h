// The two failure types of the system. An Error carries the whole
// user-facing message, composed where the fault is found; a SilentAbort ends
// an operation without any message (the user has already been told).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace bq {

class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// An Error of the file system: a file that cannot be read or written.
class FileError : public Error {
  public:
    using Error::Error;
};

// What the user is told when memory ran out; nothing was half-written.
inline constexpr std::string_view kOutOfMemory =
    "Not enough memory to finish this work; nothing was written.";

class SilentAbort : public std::exception {
  public:
    const char* what() const noexcept override { return "silent abort"; }
};

}  // namespace bq
