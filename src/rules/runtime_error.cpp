#include "rules/runtime_error.h"

namespace rt {

namespace {
const char *germanText(ErrorCode code)
{
    switch (code) {
    case ErrorCode::Overflow:
        return "Überlauf";
    case ErrorCode::OutOfMemory:
        return "Nicht genügend Speicher";
    case ErrorCode::DivisionByZero:
        return "Division durch Null";
    case ErrorCode::InternalError:
        return "Interner Fehler";
    }
    return "Unbekannter Laufzeitfehler";
}
} // namespace

RuntimeError::RuntimeError(ErrorCode code)
    : std::runtime_error(germanText(code)), code_(code), message_(germanText(code))
{
}

} // namespace rt
