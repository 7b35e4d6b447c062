#pragma once
// Palette for true-colour pictures: a saturating 5-6-5 histogram cut into
// boxes at their midpoints, one palette entry per box.

#include "platform/types.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lumeno {

class TColorQuantizer {
public:
    TColorQuantizer();

    // Counts one row of 24-bit pixels (blue, green, red bytes).
    void AddRow(const std::uint8_t* BGR, int Count);
    // Up to MaxColors entries, as many as the counted colours allow.
    std::vector<TColor> Palette(int MaxColors) const;

    static int Cell(int R, int G, int B) { return (R >> 3) * 2048 + (G >> 2) * 32 + (B >> 3); }
    std::uint16_t Count(int Cell) const { return FHistogram[Cell]; }

private:
    struct TBox {
        int RLow, RHigh; // cells 0..31
        int GLow, GHigh; // cells 0..63
        int BLow, BHigh; // cells 0..31
        std::int64_t Extent = 0;
        std::int64_t Volume = 0;
    };

    void Shrink(TBox& Box) const;
    bool PlaneUsed(const TBox& Box, int Axis, int Value) const;
    static int ChooseBox(const std::vector<TBox>& Boxes, int Wanted);
    static void Split(std::vector<TBox>& Boxes, int Index);
    TColor BoxColor(const TBox& Box) const;

    std::unique_ptr<std::uint16_t[]> FHistogram;
};

} // namespace lumeno
