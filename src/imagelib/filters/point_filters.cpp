#include "imagelib/filters/point_filters.h"

#include "imagelib/filters/color_models.h"
#include "imagelib/pg_helpers.h"

namespace lumeno {

void TNegativeFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    for (int i = 0; i < Count * 3; ++i)
        Out[i] = static_cast<std::uint8_t>(255 - In[i]);
}

void TGrayScaleFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    const bool weighted = RGBWeighting;
    for (int i = 0; i < Count; ++i, In += 3, Out += 3) {
        const int v = PixelBrightness(RGB(In[2], In[1], In[0]), weighted) / 3;
        Out[0] = Out[1] = Out[2] = static_cast<std::uint8_t>(v);
    }
}

void TBCGFilter::Prepare()
{
    for (int i = 0; i < 256; ++i) {
        Extended v = Power(i / 255.0L, Gamma) * 255;
        v = (v - 127.5L) * Contrast + 127.5L;
        v = v + static_cast<Extended>(Brightness) * 255 * 0.01L;
        Table[static_cast<std::size_t>(i)] = RoundToByte(v);
    }
}

void TBCGFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    const std::uint8_t* t = Table.data();
    if (!UseY) {
        for (int i = 0; i < Count * 3; ++i)
            Out[i] = t[In[i]];
        return;
    }
    Memo.Map(In, Out, Count, [t](const std::uint8_t* Pixel, std::uint8_t* Result) {
        Extended y, cb, cr, r, g, b;
        RGBToYCbCr(Pixel[2] / 255.0L, Pixel[1] / 255.0L, Pixel[0] / 255.0L, y, cb, cr);
        y = ReadTable(t, y * 255) / 255;
        YCbCrToRGB(y, cb, cr, r, g, b);
        Result[0] = UnitToByte(b);
        Result[1] = UnitToByte(g);
        Result[2] = UnitToByte(r);
    });
}

} // namespace lumeno
