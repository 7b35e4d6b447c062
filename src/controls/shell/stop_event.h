#pragma once
// A manual-reset event a worker can wait on with poll(): once set it stays
// set, so a stop that arrives while the worker is busy is seen at its next
// wait.

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace lumeno {

class TStopEvent {
public:
    TStopEvent() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~TStopEvent()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TStopEvent(const TStopEvent&) = delete;
    TStopEvent& operator=(const TStopEvent&) = delete;

    void Set()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
    }
    int Fd() const { return fd_; }

private:
    int fd_;
};

} // namespace lumeno
