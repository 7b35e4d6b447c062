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

// Describes image index, then decodes it unless it was described as bigger
// than pixelLimit. False when it could not be described.
bool DescribeAndLoad(TStream& stream, const std::string& extension, int index, std::int64_t pixelLimit,
                     TGraphicInfo& info)
{
    const bool described = Describe(stream, extension, index, info);
    if (!described || std::int64_t{info.Width} * info.Height <= pixelLimit)
        Load(stream, extension, index);
    return described;
}

} // namespace

void PrepareLibrary()
{
    static TSilentDialogs dialogs;
    SetDialogs(&dialogs);
    ImageSizeLimit = FuzzImageSizeLimit;
}

void FuzzLoad(const std::uint8_t* data, std::size_t size, const std::string& extension, std::int64_t pixelLimit)
{
    TMemoryStream stream(data, static_cast<std::int64_t>(size));
    TGraphicInfo first, last;
    // Reaching the last image walks every image before it.
    if (DescribeAndLoad(stream, extension, 0, pixelLimit, first) && first.ImageCount > 1)
        DescribeAndLoad(stream, extension, first.ImageCount - 1, pixelLimit, last);
}

} // namespace lumeno::fuzz
