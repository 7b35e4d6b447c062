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

protected:
    void Prepare() override;
    void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) override;
};

} // namespace lumeno
