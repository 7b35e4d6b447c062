#pragma once
// Sound output: the stand-in for the wave-out device. The device pulls its
// data from a source on the thread that opened it; without a sound device
// Open fails and the caller goes on silently.

#include <QAudioFormat>

#include <memory>

class QAudioSink;
class QIODevice;

namespace lumeno {

class TWaveOut {
public:
    TWaveOut();
    ~TWaveOut();
    TWaveOut(const TWaveOut&) = delete;
    TWaveOut& operator=(const TWaveOut&) = delete;

    // Starts playing what source gives; false when there is no output device
    // or it refuses the format. The source must outlive the playing.
    bool Open(const QAudioFormat& format, QIODevice* source);
    void Close();
    bool IsOpen() const { return sink_ != nullptr; }

private:
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace lumeno
