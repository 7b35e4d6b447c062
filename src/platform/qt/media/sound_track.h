#pragma once
// The sound track of a clip, read by sample number as 16-bit PCM at the
// clip's own rate, mono or stereo: the stand-in for reading an AVI audio
// stream, as the player sees it. Kept apart from the video decoder so that
// reading sound never moves the picture's position.

#include <cstdint>

namespace lumeno {

class TSoundTrack {
public:
    virtual ~TSoundTrack() = default;

    virtual int SampleRate() const = 0;
    virtual int Channels() const = 0;
    // Bytes of one sample (all channels).
    virtual int SampleSize() const = 0;
    virtual std::int64_t Start() const = 0;
    virtual std::int64_t Length() const = 0;
    // The sample playing at a time given in microseconds.
    virtual std::int64_t TimeToSample(std::int64_t microseconds) const = 0;
    // Reads up to count samples from sample first into buffer (count *
    // SampleSize() bytes); returns how many were read, fewer at the end of
    // the data or when the stream is damaged.
    virtual std::int64_t Read(std::int64_t first, std::int64_t count, char* buffer) = 0;
};

} // namespace lumeno
