#pragma once
// Calls into the C libraries (libjpeg, libpng) with their failures brought
// back as our exceptions. The libraries report a fatal error by calling a
// routine of ours that must not return; that routine keeps the exception to
// raise and jumps back to the call that entered the library. No C++ object
// with a destructor may live in the frames the jump leaves: the entering
// call keeps none, the library is C, and our callbacks finish everything
// they do before jumping.

#include "imagelib/codecs/codec_io.h"

#include <csetjmp>
#include <exception>

namespace lumeno {

class TLibraryGuard {
public:
    // Runs Call (a lambda that only calls into the library); false when the
    // library failed, and then Raise gives the failure.
    template <class F> [[gnu::noinline]] bool Enter(const F& Call)
    {
        if (setjmp(jump_) != 0)
            return false;
        Call();
        return true;
    }
    // Enter, raising the failure.
    template <class F> void Run(const F& Call)
    {
        if (!Enter(Call))
            Raise();
    }

    // For callbacks: runs Work and keeps what it throws; false when it threw.
    template <class F> bool Capture(const F& Work) noexcept
    {
        try {
            Work();
            return true;
        } catch (...) {
            pending_ = std::current_exception();
            return false;
        }
    }
    // For callbacks: keeps the codec's error with the prefix and Text.
    void KeepError(const TCodecErrors& Errors, const char* Text) noexcept
    {
        Capture([&] { Errors.Raise(Text); });
    }
    // For callbacks, after keeping the failure: back to Enter.
    [[noreturn]] void Jump() noexcept { std::longjmp(jump_, 1); }

    [[noreturn]] void Raise()
    {
        std::exception_ptr failure = pending_;
        pending_ = nullptr;
        std::rethrow_exception(failure);
    }

private:
    std::jmp_buf jump_;
    std::exception_ptr pending_;
};

} // namespace lumeno
