#pragma once
// The editor's pixel effects on TFastBMP rows. Effects with a source and a
// destination read only the source; the others work in place. Random
// effects take a seed: the same seed gives the same picture.

#include "app/effects/effect_random.h"
#include "app/effects/fast_bmp.h"

namespace lumeno {

inline int ClampByte(int V)
{
    return V > 255 ? 255 : (V < 0 ? 0 : V);
}
inline int ClampInt(int V, int Low, int High)
{
    return V > High ? High : (V < Low ? Low : V);
}
// Angle of (X, Y) in (-pi/2, 3pi/2).
float ArcTangent2(float X, float Y);

void ColorNoise(TFastBMP& Bmp, int Amount, std::uint32_t Seed = NewEffectSeed());
void MonoNoise(TFastBMP& Bmp, int Amount, std::uint32_t Seed = NewEffectSeed());
// Dst must have Src's size.
void SprayPaint(const TFastBMP& Src, TFastBMP& Dst, int Amount, std::uint32_t Seed = NewEffectSeed());
void Emboss(TFastBMP& Bmp);
void Mosaic(TFastBMP& Bmp, int XAmount, int YAmount);
void FishEye(const TFastBMP& Src, TFastBMP& Dst, double Amount);
void Swirl(const TFastBMP& Src, TFastBMP& Dst, int Amount);

// The wrapping bilinear sample of FishEye and Swirl at (FX, FY) of Src into
// BGR; false (BGR untouched) when a coordinate is not finite.
bool SampleWrapped(const TFastBMP& Src, double FX, double FY, std::uint8_t* BGR);

} // namespace lumeno
