#pragma once
// Owning handles for FFmpeg objects, so every path frees what it opened.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace lumeno::ffmpeg {

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct SwsFreer {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};
struct SwrFreer {
    void operator()(SwrContext* c) const { swr_free(&c); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;

// Opens a file and reads its stream information; throws EVideoFile.
FormatPtr OpenInput(const std::string& fileName);
// The first stream of that kind, skipping cover pictures; -1 when none.
int FirstStream(const AVFormatContext& format, AVMediaType type);
// An opened decoder for the stream; throws EVideoFile.
CodecPtr OpenDecoder(const AVStream& stream);
PacketPtr NewPacket();
FramePtr NewFrame();
std::string ErrorText(int code);

} // namespace lumeno::ffmpeg
