#include "platform/qt/media/module/audio_stream.h"

#include "platform/avi_stream_header.h"
#include "platform/qt/media/video_clip.h"
#include "platform/stream.h"

#include <algorithm>
#include <cstring>

namespace lumeno {
namespace {

constexpr int kMaxRate = 768000;

// The decoder's layout, or the usual one for its channel count when the file
// names none (as plain PCM in AVI does).
struct TLayout {
    AVChannelLayout Value{};
    explicit TLayout(const AVChannelLayout& from)
    {
        if (from.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_copy(&Value, &from) < 0)
            av_channel_layout_default(&Value, from.nb_channels);
    }
    explicit TLayout(int channels) { av_channel_layout_default(&Value, channels); }
    ~TLayout() { av_channel_layout_uninit(&Value); }
    TLayout(const TLayout&) = delete;
    TLayout& operator=(const TLayout&) = delete;
};

} // namespace

TAudioStream::TAudioStream(const std::string& fileName)
    : fileName_(fileName), input_(ffmpeg::OpenInput(fileName)), packet_(ffmpeg::NewPacket()),
      frame_(ffmpeg::NewFrame())
{
    const int index = ffmpeg::FirstStream(*input_, AVMEDIA_TYPE_AUDIO);
    if (index < 0)
        throw EVideoFile("No audio stream in " + fileName);
    stream_ = input_->streams[index];
    decoder_ = ffmpeg::OpenDecoder(*stream_);
    const int rate = decoder_->sample_rate;
    const int channels = decoder_->ch_layout.nb_channels;
    if (rate <= 0 || rate > kMaxRate || channels <= 0)
        throw EVideoFile("Unusable audio format in " + fileName);

    TLayout in(decoder_->ch_layout);
    TLayout out(std::min(channels, 2));
    SwrContext* raw = nullptr; // freed by FFmpeg itself when this fails
    if (swr_alloc_set_opts2(&raw, &out.Value, AV_SAMPLE_FMT_S16, rate, &in.Value, decoder_->sample_fmt, rate,
                            0, nullptr) < 0)
        throw EVideoFile("Cannot convert the audio of " + fileName);
    converter_.reset(raw);
    if (swr_init(converter_.get()) < 0)
        throw EVideoFile("Cannot convert the audio of " + fileName);

    format_.setSampleRate(rate);
    format_.setChannelCount(out.Value.nb_channels);
    format_.setSampleFormat(QAudioFormat::Int16);
    TakeStreamHeader();
}

void TAudioStream::TakeStreamHeader()
{
    const std::int64_t rate = format_.sampleRate();
    std::vector<TAviStreamHeader> headers;
    try {
        headers = ReadAviStreamHeaders(fileName_);
    } catch (const EStreamError&) {
        // the video side reports a broken header; here the decoder's view will do
    }
    const auto h = std::find_if(headers.begin(), headers.end(),
                                [](const TAviStreamHeader& x) { return x.Type == "auds"; });
    if (h != headers.end() && h->Rate > 0) {
        length_ = av_rescale(h->Length, std::int64_t(h->Scale) * rate, h->Rate);
        start_ = av_rescale(h->Start, std::int64_t(h->Scale) * rate, h->Rate);
        return;
    }
    const AVRational perSample{1, int(rate)};
    if (stream_->duration > 0)
        length_ = av_rescale_q(stream_->duration, stream_->time_base, perSample);
    if (stream_->start_time != AV_NOPTS_VALUE && stream_->start_time > 0)
        start_ = av_rescale_q(stream_->start_time, stream_->time_base, perSample);
}

std::int64_t TAudioStream::TimeToSample(std::int64_t microseconds) const
{
    return av_rescale(microseconds, format_.sampleRate(), 1000000);
}

std::int64_t TAudioStream::Read(std::int64_t first, std::int64_t count, char* buffer)
{
    if (count <= 0 || first < 0)
        return 0;
    if (first != position_ || alignTo_ >= 0)
        SeekTo(first);
    const std::size_t size = SampleSize();
    std::int64_t done = 0;
    while (done < count) {
        const std::size_t available = (pending_.size() - pendingRead_) / size;
        if (available == 0) {
            if (!DecodeMore())
                break;
            continue;
        }
        const std::size_t take = std::min<std::size_t>(available, count - done);
        std::memcpy(buffer + done * size, pending_.data() + pendingRead_, take * size);
        pendingRead_ += take * size;
        done += take;
    }
    position_ = first + done;
    return done;
}

void TAudioStream::SeekTo(std::int64_t sample)
{
    const std::int64_t ts = av_rescale_q(sample, AVRational{1, format_.sampleRate()}, stream_->time_base);
    // Where no seek works the samples cannot be found: nothing more is read.
    ended_ = av_seek_frame(input_.get(), stream_->index, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
             av_seek_frame(input_.get(), stream_->index, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0;
    avcodec_flush_buffers(decoder_.get());
    pending_.clear();
    pendingRead_ = 0;
    alignTo_ = sample;
    position_ = sample;
}

// Adds the next decoded samples to pending_; false once nothing more comes.
bool TAudioStream::DecodeMore()
{
    while (!ended_) {
        const int r = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (r == 0) {
            if (ConvertReceived())
                return true;
            continue;
        }
        if (r != AVERROR(EAGAIN)) {
            ended_ = true;
            break;
        }
        if (av_read_frame(input_.get(), packet_.get()) < 0) {
            if (avcodec_send_packet(decoder_.get(), nullptr) < 0)
                ended_ = true;
            continue;
        }
        if (packet_->stream_index == stream_->index) {
            const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
            if (sent < 0 && sent != AVERROR_INVALIDDATA)
                ended_ = true;
        }
        av_packet_unref(packet_.get());
    }
    return false;
}

bool TAudioStream::ConvertReceived()
{
    pending_.erase(pending_.begin(), pending_.begin() + pendingRead_);
    pendingRead_ = 0;
    const std::size_t size = SampleSize();
    const std::int64_t ts = frame_->best_effort_timestamp;
    const std::int64_t frameStart =
        ts == AV_NOPTS_VALUE ? -1 : av_rescale_q(ts, stream_->time_base, AVRational{1, format_.sampleRate()});
    const int room = swr_get_out_samples(converter_.get(), frame_->nb_samples);
    if (room <= 0) {
        av_frame_unref(frame_.get());
        return false;
    }
    const std::size_t old = pending_.size();
    pending_.resize(old + std::size_t(room) * size);
    auto* out = reinterpret_cast<std::uint8_t*>(pending_.data() + old);
    const int got = swr_convert(converter_.get(), &out, room,
                                const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples);
    av_frame_unref(frame_.get());
    pending_.resize(old + std::size_t(std::max(got, 0)) * size);
    if (got <= 0)
        return false;
    if (alignTo_ >= 0 && frameStart >= 0) {
        // After a seek the decoder starts at the key point before the sample asked for.
        const std::int64_t drop = std::clamp<std::int64_t>(alignTo_ - frameStart, 0, got);
        pending_.erase(pending_.begin() + old, pending_.begin() + old + drop * size);
        if (drop == got)
            return false;
    }
    alignTo_ = -1;
    return true;
}

} // namespace lumeno
