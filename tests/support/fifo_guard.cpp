#include "support/fifo_guard.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumeno::test {

FifoGuard::FifoGuard(std::string path, std::chrono::milliseconds limit) : path_(std::move(path))
{
    if (::mkfifo(path_.c_str(), 0600) != 0)
        throw std::runtime_error("cannot make the pipe " + path_);
    watcher_ = std::thread([this, limit] { Watch(limit); });
}

FifoGuard::~FifoGuard()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    watcher_.join();
    ::unlink(path_.c_str());
}

bool FifoGuard::Released() const
{
    std::lock_guard lock(mutex_);
    return released_;
}

void FifoGuard::Watch(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    if (stop_.wait_for(lock, limit, [this] { return stopping_; }))
        return;
    // A non-blocking open for writing succeeds only while a reader waits;
    // closing it at once gives that reader an empty file.
    while (!stop_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopping_; })) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            released_ = true;
        }
    }
}

} // namespace lumeno::test
