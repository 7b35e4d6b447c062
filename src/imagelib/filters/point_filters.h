#pragma once
// Point filters: negative, grey scale, and brightness/contrast/gamma.

#include "imagelib/filters/pg_filter.h"

#include <array>
#include <cstdint>

namespace lumeno {

class TNegativeFilter : public TPGPointFilter {
protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

class TGrayScaleFilter : public TPGPointFilter {
public:
    bool RGBWeighting = true;
    void SetRGBWeighting(bool Value) { RGBWeighting = Value; }

protected:
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

class TBCGFilter : public TPGPointFilter {
public:
    // Built by BeginFilter from the settings below.
    std::array<std::uint8_t, 256> Table{};
    // Change the luminance only, keeping the colour.
    bool UseY = false;
    // Per cent of full scale.
    int Brightness = 1;
    Extended Contrast = 1.0L;
    Extended Gamma = 1.0L;

    void SetBrightness(int Value) { Brightness = Value; }
    void SetContrast(Extended Value) { Contrast = Value; }

    // Only tables built by BeginFilter are read while mapping.
    bool RowsIndependent() const override { return true; }

protected:
    void Prepare() override;
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;

private:
    void MapLuminance(const std::uint8_t* In, std::uint8_t* Out, int Count) const;

    // Each input channel's share (by blue, green, red) of the luminance and
    // of the blue, green and red results, in 0..255 units, fixed point.
    std::array<std::array<std::int64_t, 256>, 3> FLuma{};
    std::array<std::array<std::array<std::int64_t, 256>, 3>, 3> FShare{};
};

} // namespace lumeno
