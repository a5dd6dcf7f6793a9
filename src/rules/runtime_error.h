#pragma once

#include <stdexcept>
#include <string>

namespace rt {

// The runtime's trappable errors, numbered as the old forms runtime numbered them.
enum class ErrorCode : int {
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    InternalError = 51,
};

// One exception type for every runtime error; message() is the German text shown to the user.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorCode code);
    ErrorCode code() const { return code_; }
    int number() const { return static_cast<int>(code_); }
    const std::string &message() const { return message_; }

private:
    ErrorCode code_;
    std::string message_;
};

} // namespace rt
