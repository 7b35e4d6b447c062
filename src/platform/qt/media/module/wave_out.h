#pragma once
// The sound output of the media module, through Qt Multimedia.

#include "platform/qt/media/sound_output.h"

#include <memory>

class QAudioSink;

namespace lumeno {

class TWaveOut final : public TSoundOutput {
public:
    TWaveOut();
    ~TWaveOut() override;
    TWaveOut(const TWaveOut&) = delete;
    TWaveOut& operator=(const TWaveOut&) = delete;

    bool Open(const TSoundTrack& format, QIODevice* source) override;
    void Close() override;
    bool IsOpen() const override { return sink_ != nullptr; }

private:
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace lumeno
