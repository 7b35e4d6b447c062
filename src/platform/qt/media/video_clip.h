#pragma once
// A video clip opened for showing frame by frame, as the AVI player sees it:
// the stand-in for the AVI file and stream functions and the frame
// decompressor. The decoding itself lives in the media module
// (media_library.h), so nothing here needs FFmpeg.

#include "platform/exception.h"

#include <QImage>

#include <cstdint>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EVideoFile, Exception);

struct TVideoStreamInfo {
    std::int64_t Length = 0; // frames
    std::int64_t Start = 0;  // first frame
    std::uint32_t Scale = 0; // a frame lasts Scale / Rate seconds
    std::uint32_t Rate = 0;
    int Width = 0; // frame rectangle
    int Height = 0;
};

class TVideoClip {
public:
    virtual ~TVideoClip() = default;

    virtual const TVideoStreamInfo& Info() const = 0;
    virtual bool HasAudio() const = 0;
    // Frame n (clamped to the stream) as a 32-bit image; the last frame that
    // could be decoded when n cannot, and a null image when none could.
    virtual QImage GetFrame(std::int64_t n) = 0;
    // Start of frame n in microseconds.
    virtual std::int64_t FrameToTime(std::int64_t frame) const = 0;
};

} // namespace lumeno
