#include "app/editor/edit_ops.h"

#include "app/effects/fast_fx.h"
#include "app/effects/frames.h"
#include "app/effects/quarter_turn.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/filters/point_filters.h"
#include "imagelib/pixel_graphic.h"

#include <charconv>
#include <cmath>

namespace lumeno {

namespace {

std::unique_ptr<TPixelGraphic> SameFormat(TPixelGraphic& Source, int Width, int Height)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(Width, Height, Source.GetPixelFormat());
    if (Source.GetPixelFormat() != pf24Bit)
        image->AssignPalette(Source);
    return image;
}

std::string Trimmed(const std::string& Text)
{
    const auto first = Text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(" \t") - first + 1);
}

template <typename T> std::optional<T> Parse(const std::string& Text)
{
    const std::string t = Trimmed(Text);
    const char* begin = t.data() + (t.size() > 1 && t[0] == '+' ? 1 : 0);
    T value{};
    const auto [end, error] = std::from_chars(begin, t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value))
            return std::nullopt;
    return value;
}

} // namespace

std::unique_ptr<TPixelGraphic> RotatedImage(TPixelGraphic& Source, Extended Angle)
{
    Extended reduced = std::fmod(Angle, 360.0L);
    if (reduced < 0)
        reduced += 360;
    auto result = std::make_unique<TPixelGraphic>();
    if (std::fmod(reduced, 90.0L) == 0) {
        TurnQuarters(*result, Source, static_cast<int>(reduced / 90));
        return result;
    }
    result = SameFormat(Source, 0, 0);
    result->SetRotateInterpolation(true);
    result->Rotate(true, Source, Angle);
    return result;
}

Extended DialogAngle(Extended Angle, bool CounterClockwise)
{
    return CounterClockwise ? 360 - Angle : Angle;
}

std::unique_ptr<TPixelGraphic> CroppedImage(TPixelGraphic& Source, int Left, int Top, int Width, int Height)
{
    auto image = SameFormat(Source, Width, Height);
    if (Source.GetPixelFormat() == pf24Bit) {
        image->CopyRect(0, 0, Width, Height, Left, Top, Source);
        return image;
    }
    // Palette indices move unchanged, even where the palette repeats a colour.
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image->SetPixel(x, y, Source.GetPixel(Left + x, Top + y));
    return image;
}

std::unique_ptr<TPixelGraphic> ResizedImage(TPixelGraphic& Source, int Width, int Height)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(Width, Height, pf24Bit);
    image->StretchFrom(Source);
    return image;
}

std::unique_ptr<TPixelGraphic> PencilDrawing(TPixelGraphic& Source)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(Source.GetWidth(), Source.GetHeight(), pf24Bit);
    TConvFilter contour;
    contour.SetContourKernel(dsRect, true, 1.16L, 792, true);
    image->ApplyFilter(contour, Source);
    TGrayScaleFilter grey;
    grey.SetRGBWeighting(true);
    image->ApplyFilter(grey, *image);
    return image;
}

std::unique_ptr<TPixelGraphic> PosterizedImage(TPixelGraphic& Source)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetDimensions(Source.GetWidth(), Source.GetHeight(), pf4Bit);
    image->SetDither(false);
    image->SetRGBWeighting(false);
    image->ReduceColors(Source, 8, false);
    image->StretchFrom(Source);
    return image;
}

std::unique_ptr<TPixelGraphic> GradientBorderImage(TPixelGraphic& Source, bool Elliptic, int Width,
                                                   TColor Color)
{
    auto image = SameFormat(Source, Source.GetWidth(), Source.GetHeight());
    image->FadeEdges(Elliptic, Width, Source, Color);
    return image;
}

std::unique_ptr<TPixelGraphic> FramedCopy(TPixelGraphic& Source,
                                          const std::function<void(TPixelGraphic&)>& Frame)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetStretchMode(smPrecise);
    image->SetDimensions(Source.GetWidth(), Source.GetHeight(), pf24Bit);
    image->StretchFrom(Source);
    Frame(*image);
    return image;
}

Extended NextZoom(Extended Zoom, bool ZoomIn)
{
    if (ZoomIn)
        return Zoom < 3.0L ? Zoom + 0.2L : Zoom;
    return Zoom > 0.3L ? Zoom - 0.2L : Zoom;
}

int ProportionalSide(int NewSide, int OldSide, int OtherOldSide)
{
    if (OldSide <= 0)
        return OtherOldSide;
    return static_cast<int>(Round(static_cast<Extended>(NewSide) * OtherOldSide / OldSide));
}


std::optional<double> ParseDecimal(const std::string& Text)
{
    return Parse<double>(Text);
}

std::optional<int> ParseInteger(const std::string& Text)
{
    return Parse<int>(Text);
}

void ApplyPixelEffect(TPixelGraphic& Image, int Tag)
{
    TPixelGraphic copy;
    AssignAs24Bit(copy, Image);
    auto src = TFastBMP::CreateFromBitmap(copy);
    auto dst = TFastBMP::CreateFromBitmap(copy);
    if (Tag == 1)
        FishEye(*src, *dst, 1.0);
    else if (Tag == 2)
        Swirl(*src, *dst, 100);
    else
        Emboss(*dst);
    dst->Draw(Image);
}

const char* PixelEffectName(int Tag)
{
    return Tag == 1 ? "Fisheye" : Tag == 2 ? "Swirl" : "Emboss";
}

void ApplyAmountEffect(TPixelGraphic& Image, int Tag, int Amount)
{
    TPixelGraphic copy;
    AssignAs24Bit(copy, Image);
    auto src = TFastBMP::CreateFromBitmap(copy);
    TFastBMP dst(src->Width, src->Height);
    RunAmountEffect(*src, dst, Tag, Amount);
    dst.Draw(Image);
}

void RunAmountEffect(const TFastBMP& Src, TFastBMP& Dst, int Tag, int Amount)
{
    if (Tag == 1) {
        SprayPaint(Src, Dst, Amount);
        return;
    }
    Dst.Assign(Src);
    if (Tag == 2)
        MonoNoise(Dst, Amount);
    else if (Tag == 3)
        ColorNoise(Dst, Amount);
    else
        Mosaic(Dst, Amount, Amount);
}

const char* AmountEffectName(int Tag)
{
    return Tag == 1 ? "Spray Paint" : Tag == 2 ? "Monochrome Noise" : Tag == 3 ? "Color Noise" : "Mosaic";
}

} // namespace lumeno
