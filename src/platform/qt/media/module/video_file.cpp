#include "platform/qt/media/module/video_file.h"

#include "platform/avi_stream_header.h"
#include "platform/stream.h"

#include <algorithm>
#include <limits>

namespace lumeno {
namespace {

constexpr int kMaxSide = 16384;
constexpr std::int64_t kMaxFrameBytes = std::int64_t(1) << 31;

const TAviStreamHeader* FirstHeader(const std::vector<TAviStreamHeader>& headers, const char* type)
{
    for (const auto& h : headers)
        if (h.Type == type)
            return &h;
    return nullptr;
}

} // namespace

TVideoFile::TVideoFile(const std::string& fileName)
    : fileName_(fileName), format_(ffmpeg::OpenInput(fileName)), packet_(ffmpeg::NewPacket()),
      received_(ffmpeg::NewFrame()), last_(ffmpeg::NewFrame())
{
    const int index = ffmpeg::FirstStream(*format_, AVMEDIA_TYPE_VIDEO);
    if (index < 0)
        throw EVideoFile("No video stream in " + fileName);
    stream_ = format_->streams[index];
    decoder_ = ffmpeg::OpenDecoder(*stream_);
    hasAudio_ = ffmpeg::FirstStream(*format_, AVMEDIA_TYPE_AUDIO) >= 0;
    TakeStreamHeader(*stream_);
    if (info_.Length <= 0)
        throw EVideoFile("No frames in " + fileName);
    if (info_.Width <= 0 || info_.Height <= 0 || info_.Width > kMaxSide || info_.Height > kMaxSide ||
        std::int64_t(info_.Width) * info_.Height * 4 >= kMaxFrameBytes)
        throw EVideoFile("Unusable frame size in " + fileName);
}

// The AVI stream header is what a clip says of itself; files of other kinds
// get the same values from what FFmpeg found.
void TVideoFile::TakeStreamHeader(const AVStream& stream)
{
    std::vector<TAviStreamHeader> headers;
    try {
        headers = ReadAviStreamHeaders(fileName_);
    } catch (const EStreamError& e) {
        throw EVideoFile(e.what());
    }
    const TAviStreamHeader* h = FirstHeader(headers, "vids");
    info_.Width = stream.codecpar->width;
    info_.Height = stream.codecpar->height;
    if (h) {
        info_.Length = h->Length;
        info_.Start = h->Start;
        info_.Scale = h->Scale;
        info_.Rate = h->Rate;
        // The frame rectangle only where the decoder does not know better:
        // a lying rectangle must not size the control.
        if ((info_.Width <= 0 || info_.Height <= 0) && h->Frame.Width() > 0 && h->Frame.Height() > 0) {
            info_.Width = h->Frame.Width();
            info_.Height = h->Frame.Height();
        }
        return;
    }
    AVRational rate = stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = av_inv_q(stream.time_base);
    info_.Scale = static_cast<std::uint32_t>(rate.den);
    info_.Rate = static_cast<std::uint32_t>(rate.num);
    info_.Length = stream.nb_frames;
    if (info_.Length <= 0 && stream.duration > 0)
        info_.Length = av_rescale_q(stream.duration, stream.time_base, av_inv_q(rate));
}

std::int64_t TVideoFile::FrameOf(std::int64_t timestamp) const
{
    if (info_.Rate == 0 || info_.Scale == 0)
        return timestamp;
    const AVRational frame{int(std::min<std::uint32_t>(info_.Scale, INT32_MAX)),
                           int(std::min<std::uint32_t>(info_.Rate, INT32_MAX))};
    return av_rescale_q_rnd(timestamp, stream_->time_base, frame,
                            AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

std::int64_t TVideoFile::TimestampOf(std::int64_t frame) const
{
    if (info_.Rate == 0 || info_.Scale == 0)
        return frame;
    const AVRational unit{int(std::min<std::uint32_t>(info_.Scale, INT32_MAX)),
                          int(std::min<std::uint32_t>(info_.Rate, INT32_MAX))};
    return av_rescale_q(frame, unit, stream_->time_base);
}

std::int64_t TVideoFile::FrameToTime(std::int64_t frame) const
{
    if (info_.Rate == 0)
        return 0;
    return av_rescale(frame, std::int64_t(info_.Scale) * 1000000, info_.Rate);
}

QImage TVideoFile::GetFrame(std::int64_t n)
{
    n = std::clamp<std::int64_t>(n, 0, info_.Length - 1);
    if (n == imageFrame_ && !image_.isNull())
        return image_;
    if (!CanDecodeForwardTo(n) && !SeekTo(n))
        return image_;
    if (DecodeUntil(n) || last_->data[0]) {
        QImage converted = Convert(*last_);
        if (!converted.isNull()) {
            image_ = converted;
            imageFrame_ = n;
        }
    }
    return image_;
}

// Playing asks for frame after frame: decoding on is cheaper than seeking
// unless a key frame lies between here and n.
bool TVideoFile::CanDecodeForwardTo(std::int64_t n)
{
    if (decodedFrame_ < 0 || n <= decodedFrame_)
        return false;
    const AVIndexEntry* key =
        avformat_index_get_entry_from_timestamp(stream_, TimestampOf(n), AVSEEK_FLAG_BACKWARD);
    return !key || FrameOf(key->timestamp) <= decodedFrame_;
}

bool TVideoFile::SeekTo(std::int64_t n)
{
    if (av_seek_frame(format_.get(), stream_->index, TimestampOf(n), AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(format_.get(), stream_->index, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return false;
    avcodec_flush_buffers(decoder_.get());
    av_frame_unref(last_.get());
    decodedFrame_ = -1;
    return true;
}

// Decodes into last_ until it holds frame n or a later one; false at the end
// of the stream or on a broken one.
bool TVideoFile::DecodeUntil(std::int64_t n)
{
    for (;;) {
        const int r = av_read_frame(format_.get(), packet_.get());
        if (r < 0) { // drain what the decoder still holds
            const int drained = avcodec_send_packet(decoder_.get(), nullptr);
            return (drained >= 0 || drained == AVERROR_EOF) && ReceiveFrames(n);
        }
        if (packet_->stream_index != stream_->index) {
            av_packet_unref(packet_.get());
            continue;
        }
        const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA)
            return false;
        if (ReceiveFrames(n))
            return true;
    }
}

bool TVideoFile::ReceiveFrames(std::int64_t n)
{
    while (avcodec_receive_frame(decoder_.get(), received_.get()) == 0) {
        const std::int64_t ts = received_->best_effort_timestamp;
        decodedFrame_ = ts == AV_NOPTS_VALUE ? decodedFrame_ + 1 : FrameOf(ts);
        av_frame_unref(last_.get());
        av_frame_move_ref(last_.get(), received_.get());
        if (decodedFrame_ >= n)
            return true;
    }
    return false;
}

QImage TVideoFile::Convert(const AVFrame& frame)
{
    if (frame.width <= 0 || frame.height <= 0 || frame.width > kMaxSide || frame.height > kMaxSide)
        return {};
    scaler_.reset(sws_getCachedContext(scaler_.release(), frame.width, frame.height,
                                       AVPixelFormat(frame.format), frame.width, frame.height,
                                       AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler_)
        return {};
    // swscale's vector code writes past the last pixel: aligned rows and a
    // spare one keep that inside the buffer.
    const int stride = FFALIGN(frame.width * 4, 64);
    auto* buffer = static_cast<uint8_t*>(av_malloc(std::size_t(stride) * (frame.height + 1)));
    if (!buffer)
        return {};
    QImage image(
        buffer, frame.width, frame.height, stride, QImage::Format_RGB32, [](void* p) { av_free(p); }, buffer);
    if (image.isNull()) {
        av_free(buffer);
        return {};
    }
    uint8_t* dst[4] = {buffer, nullptr, nullptr, nullptr};
    int dstStride[4] = {stride, 0, 0, 0};
    if (sws_scale(scaler_.get(), frame.data, frame.linesize, 0, frame.height, dst, dstStride) != frame.height)
        return {};
    return image;
}

} // namespace lumeno
