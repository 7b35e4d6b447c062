#pragma once
// The sound track of a clip, read by sample number as 16-bit PCM: the
// stand-in for reading an AVI audio stream. Kept apart from the video
// decoder so that reading sound never moves the picture's position.

#include "platform/qt/media/ffmpeg_ptr.h"

#include <QAudioFormat>

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

class TAudioStream {
public:
    // Throws EVideoFile when the file has no audio stream that can be decoded.
    explicit TAudioStream(const std::string& fileName);
    TAudioStream(const TAudioStream&) = delete;
    TAudioStream& operator=(const TAudioStream&) = delete;

    // 16-bit, the clip's own rate, mono or stereo.
    const QAudioFormat& Format() const { return format_; }
    // Bytes of one sample in Format (all channels).
    int SampleSize() const { return format_.bytesPerFrame(); }
    std::int64_t Start() const { return start_; }
    std::int64_t Length() const { return length_; }
    // The sample playing at a time given in microseconds.
    std::int64_t TimeToSample(std::int64_t microseconds) const;

    // Reads up to count samples from sample first into buffer (count *
    // SampleSize() bytes); returns how many were read, fewer at the end of
    // the data or when the stream is damaged.
    std::int64_t Read(std::int64_t first, std::int64_t count, char* buffer);

private:
    void TakeStreamHeader();
    void SeekTo(std::int64_t sample);
    bool DecodeMore();
    bool ConvertReceived();

    QAudioFormat format_;
    std::int64_t start_ = 0;
    std::int64_t length_ = 0;
    std::string fileName_;
    ffmpeg::FormatPtr input_;
    AVStream* stream_ = nullptr;
    ffmpeg::CodecPtr decoder_;
    ffmpeg::SwrPtr converter_;
    ffmpeg::PacketPtr packet_;
    ffmpeg::FramePtr frame_;
    bool ended_ = false;
    std::int64_t position_ = 0; // sample at pending_[pendingRead_]
    std::int64_t alignTo_ = -1; // after a seek: drop decoded samples before this one
    std::vector<char> pending_; // converted samples not yet read
    std::size_t pendingRead_ = 0;
};

} // namespace lumeno
