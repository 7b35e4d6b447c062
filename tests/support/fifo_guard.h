#pragma once
// A named pipe for checks that code turns pipes away instead of waiting in
// open() for a writer. Should the code still wait after the time limit, the
// guard opens the writing end so it goes on, and Released() says so: a
// regression fails the test rather than hanging it.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace lumeno::test {

class FifoGuard {
public:
    explicit FifoGuard(std::string path, std::chrono::milliseconds limit = std::chrono::seconds(3));
    ~FifoGuard();
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;

    const std::string& Path() const { return path_; }
    // Whether a reader was found waiting and had to be let go.
    bool Released() const;

private:
    void Watch(std::chrono::milliseconds limit);

    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    bool released_ = false;
    std::thread watcher_;
};

} // namespace lumeno::test
