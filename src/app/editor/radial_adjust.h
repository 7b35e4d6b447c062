#pragma once
// Radial (barrel) adjustment: every destination pixel samples the source at
// a radius scaled by a cubic in its own radius.

#include "platform/numeric.h"

#include <functional>

namespace lumeno {

class TPixelGraphic;

struct TRadialCoefficients {
    double A = -0.02, B = 0, C = 0, D = 1;
};

// The angle of (X, Y) in [0, 2 pi).
double BarrelAngle(double X, double Y);
// Result becomes a 24-bit image of Source's size. Images under 3 pixels
// wide or high are copied unchanged. Progress gets 0..100 on the calling
// thread.
void RadialAdjust(TPixelGraphic& Source, TPixelGraphic& Result, const TRadialCoefficients& K,
                  const std::function<void(int)>& Progress = {});

} // namespace lumeno
