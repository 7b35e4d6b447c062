#include "app/effects/frames.h"

#include "app/effects/gaussian_blur.h"
#include "app/effects/gdi_draw.h"
#include "app/effects/graphic_update.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_canvas_qt.h"
#include "imagelib/pixel_graphic.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumeno {

namespace {

constexpr TColor White = 0xFFFFFF;

void MakeFilled(TPixelGraphic& Graphic, int Width, int Height, TColor Color)
{
    Graphic.SetFillColor(Color);
    Graphic.SetDimensions(Width, Height, pf24Bit);
    Graphic.Clear();
}

// The frames' finishing pass: Image receives Work, sharpened.
void Sharpen(TPixelGraphic& Image, TPixelGraphic& Work)
{
    TConvFilter filter;
    filter.SetSharpenKernel(dsTent, false, 0.75L, 70);
    Image.ApplyFilter(filter, Work);
}

// A white strip with one blurred line drawn by the given pen.
void ShadowStrip(TPixelGraphic& Strip, int Width, int Height, const QPen& Pen, int X1, int Y1, int X2, int Y2,
                 double Radius)
{
    MakeFilled(Strip, Width, Height, White);
    QPainter& painter = Strip.GetCanvas()->Painter();
    GdiPrepare(painter);
    painter.setPen(Pen);
    GdiLine(painter, X1, Y1, X2, Y2);
    Strip.Flush();
    GaussianBlur24(Strip, Radius);
}

// Side of the small picture whose faded edges stand for a large one's.
constexpr int FadeModel = 48;
constexpr int FadeExtent = 20;

// Index in the model of pixel I of a side of Size: the model's own near each
// end, its middle (beyond the fade's reach from both ends) elsewhere.
int ModelIndex(int I, int Size)
{
    const int half = FadeModel / 2;
    if (I < half)
        return I;
    return I >= Size - half ? I - (Size - FadeModel) : half;
}

// A black W x H picture with its edges faded to white over 20 pixels. A
// straight fade of a uniform picture depends only on a pixel's distances to
// the edges, and a distance of 20 or more leaves the pixel as it is, so a
// 48 x 48 model faded by the library gives every pixel of the large one.
void FadedFrame(TPixelGraphic& Frame, int W, int H)
{
    TPixelGraphic model;
    MakeFilled(model, FadeModel, FadeModel, 0);
    model.FadeEdges(false, FadeExtent, model, White);
    Frame.SetDimensions(W, H, pf24Bit);
    std::vector<std::uint8_t*> rows;
    for (int y = 0; y < H; ++y)
        rows.push_back(Frame.GetScanLine(y));
    ParallelRanges(H, 64, [&](int, int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const std::uint8_t* from = model.GetScanLine(ModelIndex(y, H));
            std::uint8_t* to = rows[static_cast<std::size_t>(y)];
            for (int x = 0; x < W; ++x)
                std::memcpy(to + x * 3, from + ModelIndex(x, W) * 3, 3);
        }
    });
}

// Pixels [X1, X2) x [Y1, Y2) of a 24-bit image become white.
void FillWhite(TPixelGraphic& Image, int X1, int Y1, int X2, int Y2)
{
    for (int y = Y1; y < Y2; ++y)
        std::memset(Image.GetScanLine(y) + X1 * 3, 0xFF, static_cast<std::size_t>(X2 - X1) * 3);
}

// Channels of the pixels [X0, X1) of a row times Factor, truncated and
// capped at 255.
void ScaleRun(std::uint8_t* Row, int X0, int X1, double Factor)
{
    for (std::uint8_t* p = Row + X0 * 3; p < Row + X1 * 3; ++p)
        *p = static_cast<std::uint8_t>(std::min(255.0, *p * Factor));
}

} // namespace

void AssignAs24Bit(TPixelGraphic& Dest, TPixelGraphic& Source)
{
    const TGraphicUpdate update(Dest);
    Dest.SetDimensions(Source.GetWidth(), Source.GetHeight(), pf24Bit);
    Dest.CopyRect(0, 0, Source.GetWidth(), Source.GetHeight(), 0, 0, Source);
}

void Ensure24Bit(TPixelGraphic& Image)
{
    if (Image.GetPixelFormat() == pf24Bit)
        return;
    TPixelGraphic copy;
    AssignAs24Bit(copy, Image);
    AssignAs24Bit(Image, copy);
}

void AddWhiteFrame(TPixelGraphic& Image)
{
    const int w = Image.GetWidth(), h = Image.GetHeight();
    if (w < 57 || h < 57)
        return;
    const TGraphicUpdate update(Image);
    Ensure24Bit(Image);
    TPixelGraphic frame;
    FadedFrame(frame, w, h);
    // The mat: a white rectangle (8, 8)-(W - 8, H - 8) in white pen and
    // brush, which covers up to (W - 9, H - 9); filled on the rows directly
    // rather than through a canvas copy of the whole picture.
    FillWhite(frame, 8, 8, w - 8, h - 8);
    frame.StretchRect(28, 28, w - 56, h - 56, 0, 0, w, h, Image);
    Sharpen(Image, frame);
}

void AddSoftShadow(TPixelGraphic& Image, int PenWidth, int ShadowSize)
{
    const int w = Image.GetWidth(), h = Image.GetHeight(), s = ShadowSize;
    if (s < 1 || s >= w || s >= h)
        return;
    const TGraphicUpdate update(Image);
    Ensure24Bit(Image);
    const QPen pen = GdiPen(RGB(128, 128, 128), PenWidth);
    TPixelGraphic result, strip;
    MakeFilled(result, w, h, White);
    result.SetStretchMode(smPrecise);
    ShadowStrip(strip, s, h, pen, 0, s / 2, 0, h - s, 3.0);
    result.CopyRect(w - s, 0, s, h, 0, 0, strip);
    ShadowStrip(strip, w, s, pen, s / 2, 0, w - s, 0, 3.0);
    result.CopyRect(0, h - s, w, s, 0, 0, strip);
    result.StretchRect(0, 0, w - s, h - s, 0, 0, w, h, Image);
    Sharpen(Image, result);
}

// Rows and columns straight from the scan lines; the ring's top row runs
// to column W - i, one past the image, which is simply not there.
void AddBevel(TPixelGraphic& Image, int Width)
{
    const int w = Image.GetWidth(), h = Image.GetHeight();
    if (Width < 1 || w < 1 || h < 1)
        return;
    const TGraphicUpdate update(Image);
    Ensure24Bit(Image);
    std::vector<std::uint8_t*> rows;
    for (int y = 0; y < h; ++y)
        rows.push_back(Image.GetScanLine(y));
    auto row = [&](int y) { return (y >= 0 && y < h) ? rows[static_cast<std::size_t>(y)] : nullptr; };
    for (int i = 0; i < Width; ++i) {
        const int x0 = std::max(i, 0), x1 = std::min(w - i + 1, w);
        if (std::uint8_t* top = row(i); top && x0 < x1)
            ScaleRun(top, x0, x1, 1.55);
        if (std::uint8_t* bottom = row(h - 1 - i); bottom && x0 < x1)
            ScaleRun(bottom, x0, x1, 0.7);
        if (i < w)
            for (int y = i + 1; y <= h - i - 2; ++y)
                ScaleRun(row(y), i, i + 1, 1.3);
        if (const int x = w - 1 - i; x >= 0)
            for (int y = i + 1; y <= h - i - 3; ++y)
                ScaleRun(row(y), x, x + 1, 0.8);
    }
}

void AddDropShadow(TPixelGraphic& Image)
{
    const int w = Image.GetWidth(), h = Image.GetHeight();
    const int s = static_cast<int>(std::max(w, h) * 0.025), blur = s / 10 + 2;
    if (s < 1)
        return;
    const TGraphicUpdate update(Image);
    const QPen pen = GdiPen(0, blur);
    TPixelGraphic result, strip;
    MakeFilled(result, w + s, h + s, White);
    ShadowStrip(strip, s, h + s, pen, 0, s / 2, 0, h, blur);
    result.CopyRect(w, 0, s, h + s, 0, 0, strip);
    ShadowStrip(strip, w + s, s, pen, s / 2, 0, w, 0, blur);
    result.CopyRect(0, h, w + s, s, 0, 0, strip);
    result.CopyRect(0, 0, w, h, 0, 0, Image);
    AssignAs24Bit(Image, result);
}

} // namespace lumeno
