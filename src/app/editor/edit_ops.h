#pragma once
// The editor's image operations as plain functions: each builds a new image
// from the editor's one (or changes it in place), without any window.

#include "imagelib/palettes.h"
#include "platform/numeric.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lumeno {

class TPixelGraphic;
class TFastBMP;

// Quarter turns (after reducing modulo 360) are exact pixel permutations;
// other angles go to the library's rotation, untrimmed. Positive = clockwise.
std::unique_ptr<TPixelGraphic> RotatedImage(TPixelGraphic& Source, Extended Angle);
// The angle of the rotate dialog: counter-clockwise turns become 360 - angle.
Extended DialogAngle(Extended Angle, bool CounterClockwise);
// The selection's pixels in the source's format (palette copied).
std::unique_ptr<TPixelGraphic> CroppedImage(TPixelGraphic& Source, int Left, int Top, int Width, int Height);
// 24-bit, stretched.
std::unique_ptr<TPixelGraphic> ResizedImage(TPixelGraphic& Source, int Width, int Height);
// Contour drawing on white, then grey.
std::unique_ptr<TPixelGraphic> PencilDrawing(TPixelGraphic& Source);
// Eight colours in a 4-bit image, no dither.
std::unique_ptr<TPixelGraphic> PosterizedImage(TPixelGraphic& Source);
// A faded border of the source's size and format.
std::unique_ptr<TPixelGraphic> GradientBorderImage(TPixelGraphic& Source, bool Elliptic, int Width,
                                                   TColor Color);
// A 24-bit copy (smPrecise) with a frame routine applied.
std::unique_ptr<TPixelGraphic> FramedCopy(TPixelGraphic& Source,
                                          const std::function<void(TPixelGraphic&)>& Frame);

// Zoom clicks: +0.2 while below 3.0 (ZoomIn), -0.2 while above 0.3.
Extended NextZoom(Extended Zoom, bool ZoomIn);
// The other side of a size kept in proportion: Round(New x OtherOld / Old).
int ProportionalSide(int NewSide, int OldSide, int OtherOldSide);
// A decimal number with '.' whatever the locale; nothing when the text is
// not wholly a finite number (blanks around it allowed).
std::optional<double> ParseDecimal(const std::string& Text);
std::optional<int> ParseInteger(const std::string& Text);

// The pixel effects of the Filters menu on a 24-bit copy of Image, the
// result replacing Image: Tag 1 Fisheye, 2 Swirl, 3 Emboss.
void ApplyPixelEffect(TPixelGraphic& Image, int Tag);
const char* PixelEffectName(int Tag);
// The effects-dialog effects: Tag 1 Spray Paint, 2 Monochrome Noise,
// 3 Color Noise, 4 Mosaic, at Amount.
void ApplyAmountEffect(TPixelGraphic& Image, int Tag, int Amount);
// The same on bitmaps: Dst gets Src's pixels, then the effect.
void RunAmountEffect(const TFastBMP& Src, TFastBMP& Dst, int Tag, int Amount);
const char* AmountEffectName(int Tag);

} // namespace lumeno
