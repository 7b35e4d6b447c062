// Optimised palettes for TPixelGraphic: box splitting for true-colour
// sources, an octree over the palette for palette sources.

#include "imagelib/color_quantizer.h"
#include "imagelib/color_row_reader.h"
#include "imagelib/octree_quantizer.h"
#include "imagelib/palettes.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>

namespace lumeno {

namespace {

// Counting reports through the target; an abort keeps what was counted.
std::vector<TColor> BoxSplitPalette(TPixelGraphic& Target, TPixelGraphic& Source, int n)
{
    TColorQuantizer quantizer;
    const int h = Source.GetHeight();
    for (int y = 0; y < h; ++y) {
        quantizer.AddRow(Source.GetScanLine(y), Source.GetWidth());
        if (Target.Progress(y, h - 1))
            break;
    }
    return quantizer.Palette(n);
}

std::vector<TColor> OctreePalette(TPixelGraphic& Target, TPixelGraphic& Source,
                                  const std::vector<TColor>& SourcePalette, int n)
{
    std::vector<std::uint64_t> counts(256, 0);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(Source.GetWidth()));
    const int h = Source.GetHeight();
    for (int y = 0; y < h; ++y) {
        UnpackIndexRow(Source.GetScanLine(y), Source.GetPixelFormat(), Source.GetWidth(), indices.data());
        for (const std::uint8_t i : indices)
            ++counts[i];
        if (Target.Progress(y, h - 1))
            break;
    }
    TOctreeQuantizer tree(n);
    // Pixel values beyond the palette have no colour to contribute.
    for (std::size_t i = 0; i < SourcePalette.size(); ++i)
        if (counts[i] > 0)
            tree.AddColor(SourcePalette[i], counts[i]);
    return tree.Palette();
}

} // namespace

void TPixelGraphic::ReduceColors(TPixelGraphic& Source, int Colors, bool AddSystemColors)
{
    Flush();
    Source.Flush();
    Colors = std::clamp(Colors, 0, 256);
    const int n = AddSystemColors ? Colors - 16 : Colors;
    if (Source.GetEmpty() || n < 1) {
        SetPaletteType(pSys16);
        SetPaletteSize(std::min(Colors, 16));
        return;
    }
    // Read before the target's palette goes, in case the source is the target.
    std::vector<TColor> sourcePalette;
    if (Source.GetPixelFormat() != pf24Bit)
        for (int i = 0; i < std::min(Source.GetPaletteSize(), 256); ++i)
            sourcePalette.push_back(Source.GetPaletteEntry(i));
    SetPaletteSize(0);
    const std::vector<TColor> palette = Source.GetPixelFormat() == pf24Bit
                                            ? BoxSplitPalette(*this, Source, n)
                                            : OctreePalette(*this, Source, sourcePalette, n);
    SetPaletteSize(static_cast<int>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i)
        SetPaletteEntry(static_cast<int>(i), palette[i]);
    if (AddSystemColors)
        for (int i = 0; i < 16 && GetPaletteSize() < Colors; ++i) {
            SetPaletteSize(GetPaletteSize() + 1);
            SetPaletteEntry(GetPaletteSize() - 1, Sys16Colors[static_cast<std::size_t>(i)]);
        }
}

} // namespace lumeno
