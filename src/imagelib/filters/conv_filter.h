#pragma once
// Convolution: each output pixel is the weighted mean of the source pixels
// under an integer kernel, scaled by Factor and offset by Offset per cent of
// full scale. Kernel cells that fall outside the image take no part, so
// borders keep their brightness without padding.

#include "imagelib/filters/pg_filter.h"

#include <cstdint>
#include <vector>

namespace lumeno {

enum TDistributionShape : std::uint8_t { dsGaussian, dsTent, dsRect };

class TConvFilter : public TPGFilter {
public:
    // The identity: a 1 x 1 kernel of weight 1.
    TConvFilter();

    int GetWidth() const { return FWidth; }
    // 1..99; a new size clears every cell.
    void SetWidth(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    // Offset of the kernel's cell (0, 0) from the output pixel.
    int GetOriginX() const { return FOriginX; }
    void SetOriginX(int Value) { FOriginX = Value; }
    int GetOriginY() const { return FOriginY; }
    void SetOriginY(int Value) { FOriginY = Value; }
    Extended GetOffset() const { return FOffset; }
    void SetOffset(Extended Value) { FOffset = Value; }
    Extended GetFactor() const { return FFactor; }
    void SetFactor(Extended Value) { FFactor = Value; }
    int GetKernel(int X, int Y) const;
    void SetKernel(int X, int Y, int Value);

    // A round kernel with centre weight 16 (ones for dsRect) from a
    // distribution of standard deviation StdDev > 0.
    void MakeKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev);
    // Recipes; Percent > 0, 100 the strongest.
    void SetBlurKernel(Extended Radius, Extended Percent);
    void SetContourKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev, Extended Strength,
                          bool WhiteBk);
    void SetDetailKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev, Extended Percent);
    void SetSharpenKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev, Extended Percent);
    void SetSmoothKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev, Extended Percent);

    void BeginFilter(TPixelGraphic& ASource) override;
    TColor FilterPixel(int X, int Y) override;
    void EndFilter() override;
    void FilterRow(int Y, std::uint8_t* BGR) override;
    bool RowsIndependent() const override { return true; }

private:
    struct TCell {
        int DX, DY; // offsets from the output pixel
        std::int32_t K;
    };

    // A centred Size x Size kernel, checked and complete.
    void TakeKernel(int Size, const std::vector<std::int32_t>& Cells, Extended AOffset, Extended AFactor);
    void PrepareCells();
    void PrepareLookup();
    void BorderPixel(int X, int Y, std::uint8_t* BGR) const;
    void InteriorSpan(int Y, int X0, int X1, std::uint8_t* BGR) const;
    std::uint8_t Scale(std::int64_t Sum, std::int64_t Weight) const;

    std::vector<std::int32_t> FKernel;
    int FWidth = 1;
    int FHeight = 1;
    int FOriginX = 0;
    int FOriginY = 0;
    Extended FOffset = 0;
    Extended FFactor = 1;

    // Run state, from BeginFilter to EndFilter.
    std::vector<const std::uint8_t*> FRows; // blue, green, red rows, top first
    std::vector<std::uint8_t> FColorCopy;   // rows of a palette source
    std::vector<TCell> FCells;              // the cells of non-zero weight
    int FMinDX = 0, FMaxDX = 0, FMinDY = 0, FMaxDY = 0;
    std::int64_t FKernelSum = 0;
    bool FNarrowSums = false;          // channel sums fit 32 bits
    bool FShortWeights = false;        // every cell fits 16 bits
    std::vector<std::uint8_t> FLookup; // scaled value of every interior sum
    std::int64_t FLookupFirst = 0;
};

} // namespace lumeno
