#include "fuzz_load.h"

#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/stream.h"

namespace lumeno::fuzz {

namespace {

class TSilentDialogs : public TDialogs {
public:
    int Show(const TDialogRequest& request) override { return request.DefaultResult; }
};

bool Describe(TStream& stream, const std::string& extension, int index, TGraphicInfo& info)
{
    try {
        return GetGraphicStreamInfo(stream, extension, index, info);
    } catch (const Exception&) {
        return false;
    }
}

void Load(TStream& stream, const std::string& extension, int index)
{
    TPixelGraphic graphic;
    try {
        stream.SetPosition(0);
        graphic.DoLoad(stream, extension, index);
    } catch (const Exception&) {
    }
}

} // namespace

void PrepareLibrary()
{
    static TSilentDialogs dialogs;
    SetDialogs(&dialogs);
    ImageSizeLimit = FuzzImageSizeLimit;
}

void FuzzLoad(const std::uint8_t* data, std::size_t size, const std::string& extension)
{
    TMemoryStream stream(data, static_cast<std::int64_t>(size));
    TGraphicInfo info;
    const bool described = Describe(stream, extension, 0, info);
    Load(stream, extension, 0);
    // Reaching the last image walks every image before it.
    if (described && info.ImageCount > 1) {
        stream.SetPosition(0);
        Describe(stream, extension, info.ImageCount - 1, info);
        Load(stream, extension, info.ImageCount - 1);
    }
}

} // namespace lumeno::fuzz
