// The media module's one entry: FFmpeg decoding and the sound device behind
// the abstract classes the player knows (platform/qt/media/media_library.h).

#include "platform/qt/media/media_library.h"
#include "platform/qt/media/module/audio_stream.h"
#include "platform/qt/media/module/video_file.h"
#include "platform/qt/media/module/wave_out.h"

namespace lumeno {
namespace {

class TMediaModule final : public TMediaLibrary {
public:
    std::unique_ptr<TVideoClip> OpenVideo(const std::string& fileName) override
    {
        return std::make_unique<TVideoFile>(fileName);
    }
    std::unique_ptr<TSoundTrack> OpenSound(const std::string& fileName) override
    {
        return std::make_unique<TAudioStream>(fileName);
    }
    std::unique_ptr<TSoundOutput> NewSoundOutput() override { return std::make_unique<TWaveOut>(); }
};

} // namespace
} // namespace lumeno

extern "C" __attribute__((visibility("default"))) lumeno::TMediaLibrary* LumenoMediaLibrary(int version)
{
    static lumeno::TMediaModule module;
    return version == lumeno::kMediaInterfaceVersion ? &module : nullptr;
}
