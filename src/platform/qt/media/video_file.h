#pragma once
// A video clip opened for showing frame by frame: the stand-in for the AVI
// file and stream functions and the frame decompressor. Decoding is FFmpeg's;
// the stream information comes from the AVI stream header when there is one.

#include "platform/exception.h"
#include "platform/qt/media/ffmpeg_ptr.h"

#include <QImage>

#include <cstdint>
#include <string>

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

class TVideoFile {
public:
    // Throws EVideoFile when the file cannot be opened, has no video stream
    // or no decoder for it, or its frames are empty or too large.
    explicit TVideoFile(const std::string& fileName);
    TVideoFile(const TVideoFile&) = delete;
    TVideoFile& operator=(const TVideoFile&) = delete;

    const std::string& FileName() const { return fileName_; }
    const TVideoStreamInfo& Info() const { return info_; }
    bool HasAudio() const { return hasAudio_; }

    // Frame n (clamped to the stream) as a 32-bit image; the last frame that
    // could be decoded when n cannot, and a null image when none could.
    QImage GetFrame(std::int64_t n);
    // Start of frame n in microseconds.
    std::int64_t FrameToTime(std::int64_t frame) const;

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
