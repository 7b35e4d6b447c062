// Borders faded towards a colour, straight or as an oval vignette.

#include "imagelib/color_row_reader.h"
#include "imagelib/color_writer.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pixel_graphic.h"

#include <cmath>

namespace lumeno {

namespace {

// Blend weights in 1/1024 of the fade colour.
class TFade {
public:
    TFade(int Extent, TColor Color)
        : FExtent(Extent), FColor{GetRValue(Color), GetGValue(Color), GetBValue(Color)}
    {
    }
    // Full colour on the outermost pixels, none from Extent - 1 inwards.
    int Weight(int dist) const
    {
        if (dist >= FExtent)
            return 0;
        if (FExtent == 1)
            return 1024;
        return (FExtent - 1 - dist) * 1024 / (FExtent - 1);
    }
    int WeightAt(Extended dist) const
    {
        return static_cast<int>(FloorExt((FExtent - 1 - dist) * 1024 / (FExtent - 1)));
    }
    void Blend(int (&c)[3], int w) const
    {
        for (int i = 0; i < 3; ++i)
            c[i] = (c[i] * (1024 - w) + static_cast<int>(FColor[i]) * w) / 1024;
    }
    int Extent() const { return FExtent; }

private:
    int FExtent;
    unsigned FColor[3];
};

void FadeStraight(const TFade& Fade, int x, int y, int w, int h, int (&c)[3])
{
    Fade.Blend(c, Fade.Weight(y));
    Fade.Blend(c, Fade.Weight(h - 1 - y));
    Fade.Blend(c, Fade.Weight(x));
    Fade.Blend(c, Fade.Weight(w - 1 - x));
}

// Returns false for a pixel outside the ellipse that fits the picture.
bool FadeOval(const TFade& Fade, int x, int y, int w, int h, int (&c)[3])
{
    const Extended cx = (w - 1) / 2.0L, cy = (h - 1) / 2.0L;
    const Extended dx = x - cx, dy = y - cy;
    Extended ex, ey;
    if (dx == 0) {
        ex = 0;
        ey = dy <= 0 ? -cy : cy;
    } else {
        const Extended k = dy / dx;
        ex = cy / std::sqrt(k * k + (cy / cx) * (cy / cx));
        if (dx < 0)
            ex = -ex;
        ey = ex * k;
    }
    if (std::fabs(ex) < std::fabs(dx) || std::fabs(ey) < std::fabs(dy))
        return false;
    if (Fade.Extent() < 2)
        return true;
    const Extended dist = std::sqrt((cy / cx) * (dx - ex) * (dx - ex) + (cx / cy) * (dy - ey) * (dy - ey));
    if (dist < Fade.Extent() - 1)
        Fade.Blend(c, Fade.WeightAt(dist));
    return true;
}

void FillWith(TPixelGraphic& Target, TColor Color)
{
    TColorWriter writer(Target);
    for (int y = 0; y < Target.GetHeight(); ++y) {
        writer.StartRow(y);
        for (int k = 0; k < Target.GetWidth(); ++k)
            writer.Write((y & 1) ? Target.GetWidth() - 1 - k : k, Color);
    }
}

} // namespace

void TPixelGraphic::FadeEdges(bool Elliptic, int Extent, TPixelGraphic& Source, TColor Color)
{
    // Working in place is safe: each pixel is read just before it is written.
    if (&Source != this)
        SetDimensions(Source.GetWidth(), Source.GetHeight(), FPixelFormat);
    Flush();
    Source.Flush();
    if (GetEmpty() || (Extent > 0 && (FWidth < 3 || FHeight < 3))) {
        if (!GetEmpty())
            FillWith(*this, Color);
        Changed(this);
        return;
    }
    const TFade fade(Extent, Color);
    TColorRowReader reader(Source);
    TColorWriter writer(*this);
    ProgressStart();
    for (int y = 0; y < FHeight; ++y) {
        const std::uint8_t* src = reader.Row(y);
        writer.StartRow(y);
        for (int k = 0; k < FWidth; ++k) {
            const int x = (y & 1) ? FWidth - 1 - k : k;
            const std::uint8_t* p = src + static_cast<std::ptrdiff_t>(x) * 3;
            int c[3] = {p[2], p[1], p[0]};
            if (Extent > 0) {
                if (!Elliptic)
                    FadeStraight(fade, x, y, FWidth, FHeight, c);
                else if (!FadeOval(fade, x, y, FWidth, FHeight, c))
                    fade.Blend(c, 1024);
            }
            writer.Write(x, c[0], c[1], c[2]);
        }
        if (Progress(y, FHeight - 1))
            break;
    }
    ProgressEnd();
    writer.Finish();
    Changed(this);
}

} // namespace lumeno
