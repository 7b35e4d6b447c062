#pragma once
// Base of every exception the project raises; the message is the payload.

#include <cstring>
#include <stdexcept>
#include <string>

namespace lumeno {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Declares an exception class that derives from Base and adds nothing.
#define LUMENO_DECLARE_EXCEPTION(Name, Base)                                  \
    class Name : public Base {                                                \
    public:                                                                   \
        explicit Name(const std::string& message) : Base(message) {}          \
    }

LUMENO_DECLARE_EXCEPTION(EStreamError, Exception);
LUMENO_DECLARE_EXCEPTION(EReadError, EStreamError);
LUMENO_DECLARE_EXCEPTION(EWriteError, EStreamError);
LUMENO_DECLARE_EXCEPTION(EFOpenError, EStreamError);
LUMENO_DECLARE_EXCEPTION(EFCreateError, EStreamError);

// The file errors of the streams, naming the user's file and the system's reason.
[[noreturn]] inline void RaiseCannotCreate(const std::string& fileName, int err)
{
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(err));
}

[[noreturn]] inline void RaiseCannotWrite(const std::string& fileName, int err)
{
    throw EWriteError("Cannot write file \"" + fileName + "\". " + std::strerror(err));
}

// A broken precondition of a component (the class library's Assert).
LUMENO_DECLARE_EXCEPTION(EAssertionFailed, Exception);

} // namespace lumeno
