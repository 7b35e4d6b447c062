#pragma once
// The sound track of the media module, decoded by FFmpeg into 16-bit PCM.

#include "platform/qt/media/module/ffmpeg_ptr.h"
#include "platform/qt/media/sound_track.h"

#include <QAudioFormat>

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

class TAudioStream final : public TSoundTrack {
public:
    // Throws EVideoFile when the file has no audio stream that can be decoded.
    explicit TAudioStream(const std::string& fileName);
    TAudioStream(const TAudioStream&) = delete;
    TAudioStream& operator=(const TAudioStream&) = delete;

    // 16-bit, the clip's own rate, mono or stereo.
    int SampleRate() const override { return format_.sampleRate(); }
    int Channels() const override { return format_.channelCount(); }
    int SampleSize() const override { return format_.bytesPerFrame(); }
    std::int64_t Start() const override { return start_; }
    std::int64_t Length() const override { return length_; }
    std::int64_t TimeToSample(std::int64_t microseconds) const override;
    std::int64_t Read(std::int64_t first, std::int64_t count, char* buffer) override;

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
