#pragma once
// The door to the video and audio libraries. FFmpeg and Qt Multimedia are
// only needed once a clip is shown, so they live in a module of their own
// (liblumeno_media.so beside the program), loaded on the first call: a start
// that shows a picture maps neither. Everything crosses the door as the
// abstract classes below, made and freed by the module.

#include "platform/qt/media/sound_output.h"
#include "platform/qt/media/sound_track.h"
#include "platform/qt/media/video_clip.h"

#include <memory>
#include <string>

namespace lumeno {

class TMediaLibrary {
public:
    // Throw EVideoFile when the file cannot be opened, has no stream of that
    // kind or no decoder for it (a clip also when its frames are empty or
    // too large).
    virtual std::unique_ptr<TVideoClip> OpenVideo(const std::string& fileName) = 0;
    virtual std::unique_ptr<TSoundTrack> OpenSound(const std::string& fileName) = 0;
    virtual std::unique_ptr<TSoundOutput> NewSoundOutput() = 0;

protected:
    ~TMediaLibrary() = default; // lives as long as the program
};

// The module's entry: extern "C" TMediaLibrary* LumenoMediaLibrary(int
// version), which answers nullptr to a version it was not built for.
inline constexpr const char* kMediaEntryName = "LumenoMediaLibrary";
inline constexpr int kMediaInterfaceVersion = 1;
using TMediaEntry = TMediaLibrary* (*)(int version);

// The module, loaded on the first call from the program's folder; nullptr
// when it is missing or does not fit (clips then fail to open as any
// unreadable clip does). Main thread only.
TMediaLibrary* MediaLibrary();
// Where MediaLibrary looks: the program's folder unless a test names another
// file first; a new name is tried on the next call.
void SetMediaModulePath(const std::string& Path);

} // namespace lumeno
