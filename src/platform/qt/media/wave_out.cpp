#include "platform/qt/media/wave_out.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

namespace lumeno {

TWaveOut::TWaveOut() = default;

TWaveOut::~TWaveOut()
{
    Close();
}

bool TWaveOut::Open(const QAudioFormat& format, QIODevice* source)
{
    Close();
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
