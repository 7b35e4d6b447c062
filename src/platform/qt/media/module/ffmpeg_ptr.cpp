#include "platform/qt/media/module/ffmpeg_ptr.h"

#include "platform/qt/media/video_clip.h"
#include "platform/regular_file.h"

#include <mutex>
#include <new>

namespace lumeno::ffmpeg {

FormatPtr OpenInput(const std::string& fileName)
{
    // Broken clips are reported through our exceptions, not on the terminal.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });

    if (!IsRegularFile(fileName))
        throw EVideoFile("Cannot open " + fileName + ": not a regular file");
    AVFormatContext* raw = nullptr;
    const int r = avformat_open_input(&raw, fileName.c_str(), nullptr, nullptr);
    if (r < 0) // FFmpeg frees the context itself on failure
        throw EVideoFile("Cannot open " + fileName + ": " + ErrorText(r));
    FormatPtr format(raw);
    const int s = avformat_find_stream_info(format.get(), nullptr);
    if (s < 0)
        throw EVideoFile("Cannot read the streams of " + fileName + ": " + ErrorText(s));
    return format;
}

int FirstStream(const AVFormatContext& format, AVMediaType type)
{
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream* st = format.streams[i];
        if (st->codecpar->codec_type == type && !(st->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

CodecPtr OpenDecoder(const AVStream& stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec)
        throw EVideoFile("No decoder for the stream");
    CodecPtr context(avcodec_alloc_context3(codec));
    if (!context)
        throw std::bad_alloc();
    int r = avcodec_parameters_to_context(context.get(), stream.codecpar);
    if (r >= 0) {
        context->pkt_timebase = stream.time_base;
        r = avcodec_open2(context.get(), codec, nullptr);
    }
    if (r < 0)
        throw EVideoFile("Cannot open the decoder: " + ErrorText(r));
    return context;
}

PacketPtr NewPacket()
{
    PacketPtr p(av_packet_alloc());
    if (!p)
        throw std::bad_alloc();
    return p;
}

FramePtr NewFrame()
{
    FramePtr f(av_frame_alloc());
    if (!f)
        throw std::bad_alloc();
    return f;
}

std::string ErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace lumeno::ffmpeg
