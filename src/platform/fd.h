#pragma once
// A file descriptor closed on every path.

#include <unistd.h>

#include <utility>

namespace lumeno {

class TFd {
public:
    explicit TFd(int Fd) : fd_(Fd) {}
    ~TFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    TFd(TFd&& Other) noexcept : fd_(std::exchange(Other.fd_, -1)) {}
    TFd& operator=(TFd&& Other) noexcept
    {
        if (this != &Other) {
            if (fd_ >= 0)
                ::close(fd_);
            fd_ = std::exchange(Other.fd_, -1);
        }
        return *this;
    }
    int Get() const { return fd_; }
    int Close()
    {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

private:
    int fd_;
};

} // namespace lumeno
