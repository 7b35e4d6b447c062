#pragma once
// The video clip of the media module: decoding is FFmpeg's; the stream
// information comes from the AVI stream header when there is one.

#include "platform/qt/media/module/ffmpeg_ptr.h"
#include "platform/qt/media/video_clip.h"

#include <cstdint>
#include <string>

namespace lumeno {

class TVideoFile final : public TVideoClip {
public:
    // Throws EVideoFile when the file cannot be opened, has no video stream
    // or no decoder for it, or its frames are empty or too large.
    explicit TVideoFile(const std::string& fileName);
    TVideoFile(const TVideoFile&) = delete;
    TVideoFile& operator=(const TVideoFile&) = delete;

    const TVideoStreamInfo& Info() const override { return info_; }
    bool HasAudio() const override { return hasAudio_; }
    QImage GetFrame(std::int64_t n) override;
    std::int64_t FrameToTime(std::int64_t frame) const override;

private:
    void TakeStreamHeader(const AVStream& stream);
    std::int64_t FrameOf(std::int64_t timestamp) const;
    std::int64_t TimestampOf(std::int64_t frame) const;
    bool CanDecodeForwardTo(std::int64_t n);
    bool SeekTo(std::int64_t n);
    bool DecodeUntil(std::int64_t n);
    bool ReceiveFrames(std::int64_t n);
    QImage Convert(const AVFrame& frame);

    std::string fileName_;
    TVideoStreamInfo info_;
    bool hasAudio_ = false;
    ffmpeg::FormatPtr format_;
    AVStream* stream_ = nullptr;
    ffmpeg::CodecPtr decoder_;
    ffmpeg::PacketPtr packet_;
    ffmpeg::FramePtr received_;
    ffmpeg::FramePtr last_;
    ffmpeg::SwsPtr scaler_;
    std::int64_t decodedFrame_ = -1; // frame held in last_, -1 after a seek
    std::int64_t imageFrame_ = -1;   // frame held in image_
    QImage image_;
};

} // namespace lumeno
