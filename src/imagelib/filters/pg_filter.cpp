#include "imagelib/filters/pg_filter.h"

#include "imagelib/color_row_reader.h"

#include <vector>

namespace lumeno {

void TPGFilter::BeginFilter(TPixelGraphic& ASource)
{
    Source = &ASource;
}

TColor TPGFilter::FilterPixel(int, int)
{
    return 0;
}

void TPGFilter::EndFilter()
{
    Source = nullptr;
}

void TPGFilter::FilterRow(int Y, std::uint8_t* BGR)
{
    const int width = Source->GetWidth();
    for (int x = 0; x < width; ++x, BGR += 3) {
        const TColor c = FilterPixel(x, Y);
        BGR[0] = static_cast<std::uint8_t>(GetBValue(c));
        BGR[1] = static_cast<std::uint8_t>(GetGValue(c));
        BGR[2] = static_cast<std::uint8_t>(GetRValue(c));
    }
}

// --- point filters -------------------------------------------------------------

void TPGPointFilter::BeginFilter(TPixelGraphic& ASource)
{
    TPGFilter::BeginFilter(ASource);
    Prepare();
    Memo.Start();
    if (ASource.GetPixelFormat() == pf24Bit)
        return;
    const int size = ASource.GetPaletteSize();
    for (int i = 0; i < 256; ++i) {
        const TColor c = i < size ? ASource.GetPaletteEntry(i) : clBlack;
        FMappedPalette[i * 3] = static_cast<std::uint8_t>(GetBValue(c));
        FMappedPalette[i * 3 + 1] = static_cast<std::uint8_t>(GetGValue(c));
        FMappedPalette[i * 3 + 2] = static_cast<std::uint8_t>(GetRValue(c));
    }
    MapColors(FMappedPalette.data(), FMappedPalette.data(), 256);
}

void TPGPointFilter::EndFilter()
{
    Memo.Stop();
    TPGFilter::EndFilter();
}

TColor TPGPointFilter::FilterColor(TColor Color)
{
    std::uint8_t bgr[3] = {static_cast<std::uint8_t>(GetBValue(Color)),
                           static_cast<std::uint8_t>(GetGValue(Color)),
                           static_cast<std::uint8_t>(GetRValue(Color))};
    MapColors(bgr, bgr, 1);
    return RGB(bgr[2], bgr[1], bgr[0]);
}

void TPGPointFilter::FilterRow(int Y, std::uint8_t* BGR)
{
    const int width = Source->GetWidth();
    const std::uint8_t* row = Source->GetScanLine(Y);
    if (Source->GetPixelFormat() == pf24Bit) {
        MapColors(row, BGR, width);
        return;
    }
    // A row's own indices: rows may be filtered on several threads at once.
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width));
    UnpackIndexRow(row, Source->GetPixelFormat(), width, indices.data());
    for (int x = 0; x < width; ++x, BGR += 3) {
        const std::uint8_t* c = FMappedPalette.data() + indices[static_cast<std::size_t>(x)] * 3;
        BGR[0] = c[0];
        BGR[1] = c[1];
        BGR[2] = c[2];
    }
}

} // namespace lumeno
