#pragma once
// Sound output: the stand-in for the wave-out device, as the player sees it.
// The device pulls its data from a source on the thread that opened it;
// without a sound device Open fails and the caller goes on silently.

class QIODevice;

namespace lumeno {

class TSoundTrack;

class TSoundOutput {
public:
    virtual ~TSoundOutput() = default;

    // Starts playing what source gives, in the track's sample format; false
    // when there is no output device or it refuses the format. The source
    // must outlive the playing.
    virtual bool Open(const TSoundTrack& format, QIODevice* source) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

} // namespace lumeno
