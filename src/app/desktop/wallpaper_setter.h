#pragma once
// Runs a wallpaper command: the questions on the main thread, the
// conversion and the desktop's own tools (seconds each, at worst) on a
// worker, the outcome back on the main thread. One command at a time.

#include "app/desktop/wallpaper.h"

#include <functional>
#include <memory>
#include <string>

namespace lumeno {

class TWorkerPool;

class TWallpaperSetter {
public:
    // Runs on the main thread after a failure was shown.
    using TDone = std::function<void(const TWallpaperOutcome& Outcome)>;

    TWallpaperSetter();
    ~TWallpaperSetter();
    TWallpaperSetter(const TWallpaperSetter&) = delete;
    TWallpaperSetter& operator=(const TWallpaperSetter&) = delete;

    // False when nothing was started: a command is running, the desktop has
    // no backend, or the user declined.
    bool Start(const std::string& File, const std::string& Tile, const std::string& Style,
               std::unique_ptr<TWallpaperBackend> Backend, TDone Done);
    bool Busy() const { return busy_; }
    // Drops a running command's outcome and waits for its worker.
    void Stop();

private:
    void Finish();

    std::unique_ptr<TWallpaperBackend> backend_;
    std::unique_ptr<TWorkerPool> pool_;
    bool busy_ = false;
};

} // namespace lumeno
