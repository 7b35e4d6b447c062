#include "platform/qt/media/module/wave_out.h"

#include "platform/qt/media/sound_track.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace lumeno {

TWaveOut::TWaveOut() = default;

TWaveOut::~TWaveOut()
{
    Close();
}

bool TWaveOut::Open(const TSoundTrack& track, QIODevice* source)
{
    Close();
    QAudioFormat format;
    format.setSampleRate(track.SampleRate());
    format.setChannelCount(track.Channels());
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format))
        return false;
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->start(source);
    if (sink_->error() != QAudio::NoError) {
        Close();
        return false;
    }
    return true;
}

void TWaveOut::Close()
{
    if (!sink_)
        return;
    sink_->stop();
    sink_.reset();
}

} // namespace lumeno
