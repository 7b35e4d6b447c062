#include "controls/media/audio_play.h"

#include "platform/qt/media/media_library.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace lumeno {
namespace {
constexpr int kMinBufferSize = 2048;
}

// What the sound device reads from: hands out the span buffer by buffer.
class TAudioPlay::TSource : public QIODevice {
public:
    explicit TSource(TAudioPlay& owner) : owner_(owner) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return pending_.size() - read_ + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (read_ >= pending_.size()) {
            pending_ = owner_.ReadBuffer();
            read_ = 0;
        }
        const qint64 n = std::min<qint64>(maxSize, pending_.size() - read_);
        std::memcpy(data, pending_.constData() + read_, n);
        read_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    TAudioPlay& owner_;
    QByteArray pending_;
    qint64 read_ = 0;
};

TAudioPlay::TAudioPlay() = default;

TAudioPlay::~TAudioPlay()
{
    Stop();
}

bool TAudioPlay::Play(TSoundTrack* stream, std::int64_t endSample, std::int64_t startSample)
{
    Stop();
    if (!stream)
        return false;
    stream_ = stream;
    first_ = startSample < 0 ? stream->Start() : startSample;
    end_ = endSample < 0 ? stream->Start() + stream->Length() : endSample;
    next_ = first_;
    sampleSize_ = stream->SampleSize();
    if (end_ <= first_ || sampleSize_ < 1)
        return false;
    bufferSize_ = std::max(sampleSize_, kMinBufferSize);
    if (!waveOut_)
        if (TMediaLibrary* media = MediaLibrary())
            waveOut_ = media->NewSoundOutput();
    if (!waveOut_)
        return false;
    source_ = std::make_unique<TSource>(*this);
    playing_ = waveOut_->Open(*stream, source_.get());
    if (!playing_)
        source_.reset();
    return playing_;
}

void TAudioPlay::Stop()
{
    playing_ = false;
    if (waveOut_)
        waveOut_->Close();
    source_.reset();
}

QByteArray TAudioPlay::ReadBuffer()
{
    if (!stream_ || sampleSize_ < 1 || next_ >= end_)
        return {};
    const std::int64_t wanted = std::min<std::int64_t>(end_ - next_, bufferSize_ / sampleSize_);
    QByteArray buffer(static_cast<qsizetype>(wanted * sampleSize_), Qt::Uninitialized);
    const std::int64_t got = stream_->Read(next_, wanted, buffer.data());
    buffer.truncate(static_cast<qsizetype>(got * sampleSize_));
    next_ += got;
    if (got < wanted)
        end_ = next_;
    return buffer;
}

} // namespace lumeno
