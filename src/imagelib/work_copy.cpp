#include "imagelib/work_copy.h"

#include <cstring>

namespace lumeno {

std::unique_ptr<TPixelGraphic> MakeWorkCopy(TPixelGraphic& Source)
{
    Source.Flush();
    auto copy = std::make_unique<TPixelGraphic>();
    copy->SetDimensions(Source.GetWidth(), Source.GetHeight(), Source.GetPixelFormat());
    if (Source.GetPixelFormat() != pf24Bit) {
        copy->SetPaletteSize(Source.GetPaletteSize());
        for (int i = 0; i < Source.GetPaletteSize(); ++i)
            copy->SetPaletteEntry(i, Source.GetPaletteEntry(i));
    }
    copy->SetFillColor(Source.GetFillColor());
    if (!Source.GetEmpty())
        std::memcpy(copy->GetBits(), Source.GetBits(), static_cast<std::size_t>(Source.GetImageSize()));
    return copy;
}

} // namespace lumeno
