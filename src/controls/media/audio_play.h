#pragma once
// Plays a span of a clip's sound track through the sound device, a buffer at
// a time as the device asks for more.

#include "platform/qt/media/sound_output.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

namespace lumeno {

class TSoundTrack;

class TAudioPlay {
public:
    TAudioPlay();
    ~TAudioPlay();
    TAudioPlay(const TAudioPlay&) = delete;
    TAudioPlay& operator=(const TAudioPlay&) = delete;

    // Plays samples [startSample, endSample) of stream, which must outlive
    // the playing. A negative start means the stream's start, a negative end
    // its end. Returns whether sound plays: not for an empty span, nor
    // without a sound device or the media module.
    bool Play(TSoundTrack* stream, std::int64_t endSample, std::int64_t startSample);
    void Stop();
    bool Playing() const { return playing_; }

    std::int64_t FirstSample() const { return first_; }
    std::int64_t NextSample() const { return next_; }
    std::int64_t EndSample() const { return end_; }
    int BufferSize() const { return bufferSize_; }

    // The next buffer of the span, empty at its end. A short read ends the
    // span after the samples it did give.
    QByteArray ReadBuffer();

private:
    class TSource;

    std::unique_ptr<TSoundOutput> waveOut_; // made by the first Play
    std::unique_ptr<TSource> source_;
    TSoundTrack* stream_ = nullptr;
    bool playing_ = false;
    int sampleSize_ = 0;
    int bufferSize_ = 0;
    std::int64_t first_ = 0;
    std::int64_t next_ = 0;
    std::int64_t end_ = 0;
};

} // namespace lumeno
