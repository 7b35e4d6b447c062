#pragma once
// The next picture of the slide show read ahead: a worker decodes one file
// while the current one is looked at, and the image is handed over when that
// file is asked for and has not changed since.

#include "platform/types.h"

#include <functional>
#include <memory>
#include <string>

namespace lumeno {

class TPixelGraphic;
struct TFileStamp;

class TPreRead {
public:
    TPreRead();
    // Stops the reading and waits for the worker.
    ~TPreRead();
    TPreRead(const TPreRead&) = delete;
    TPreRead& operator=(const TPreRead&) = delete;

    // Starts reading Path, dropping (and stopping) what was read before.
    // Finished, when given, is called on the worker just before the image
    // can be taken, unless the reading was stopped.
    void Start(const std::string& Path, TColor FillColor, std::function<void()> Finished = {});
    // The image read from Path, waiting for the worker when it is still
    // reading; nothing when another file was read ahead, the reading failed,
    // or the file's size or time changed since. Stamp, when given, gets the
    // stamp the file had when it was read.
    std::unique_ptr<TPixelGraphic> Take(const std::string& Path, TFileStamp* Stamp = nullptr);
    // Whether Take would hand over the image of Path without waiting.
    bool Ready(const std::string& Path) const;
    // Stops the reading without waiting for it.
    void Drop();
    const std::string& Path() const { return path_; }

private:
    struct TJob;
    std::shared_ptr<TJob> job_;
    std::string path_;
};

} // namespace lumeno
