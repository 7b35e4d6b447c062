#include "imagelib/filters/channel_filters.h"

#include "imagelib/filters/color_models.h"
#include "imagelib/filters/hsv_fast.h"
#include "imagelib/pg_helpers.h"

#include <algorithm>

namespace lumeno {

void FillChannelTable(TChannelTable& Table, int Percent)
{
    const int shift = Percent * 255 / 100;
    for (int i = 0; i < 256; ++i)
        Table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::clamp(i + shift, 0, 255));
}

void FillHueTable(TChannelTable& Table, int Degrees)
{
    const int shift = Degrees * 256 / 360;
    for (int i = 0; i < 256; ++i) {
        int v = i + shift;
        while (v > 255)
            v -= 256;
        while (v < 0)
            v += 256;
        Table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
    }
}

TXXXFilter::TXXXFilter()
{
    for (int i = 0; i < 256; ++i)
        Table1[static_cast<std::size_t>(i)] = Table2[static_cast<std::size_t>(i)] =
            Table3[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
}

void TRGBFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    for (int i = 0; i < Count; ++i, In += 3, Out += 3) {
        const std::uint8_t b = In[0], g = In[1], r = In[2];
        Out[0] = Table3[b];
        Out[1] = Table2[g];
        Out[2] = Table1[r];
    }
}

void TCMYFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    for (int i = 0; i < Count; ++i, In += 3, Out += 3) {
        std::uint8_t c, m, y;
        RGBToCMY(In[2], In[1], In[0], c, m, y);
        CMYToRGB(Table1[c], Table2[m], Table3[y], Out[2], Out[1], Out[0]);
    }
}

void TYCbCrFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    Memo.Map(In, Out, Count, [this](const std::uint8_t* Pixel, std::uint8_t* Result) {
        Extended y, cb, cr, r, g, b;
        RGBToYCbCr(Pixel[2] / 255.0L, Pixel[1] / 255.0L, Pixel[0] / 255.0L, y, cb, cr);
        y = ReadTable(Table1.data(), y * 255) / 255;
        cb = ReadTable(Table2.data(), (cb + 0.5L) * 255) / 255 - 0.5L;
        cr = ReadTable(Table3.data(), (cr + 0.5L) * 255) / 255 - 0.5L;
        YCbCrToRGB(y, cb, cr, r, g, b);
        Result[0] = UnitToByte(b);
        Result[1] = UnitToByte(g);
        Result[2] = UnitToByte(r);
    });
}

namespace {

// A hue through the hue table; position 128 stands for hue 0.
Extended MapHue(const TChannelTable& T, Extended H)
{
    Extended h = (H + 180) * 256 / 360;
    if (h >= 256)
        h = h - 256;
    const std::int64_t k = FloorExt(h);
    return ReadHueTable(T.data(), k, h);
}

void StoreBGR(Extended R, Extended G, Extended B, std::uint8_t* Out)
{
    Out[0] = UnitToByte(B);
    Out[1] = UnitToByte(G);
    Out[2] = UnitToByte(R);
}

} // namespace

void THLSFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    Memo.Map(In, Out, Count, [this](const std::uint8_t* Pixel, std::uint8_t* Result) {
        Extended h, l, s, r, g, b;
        RGBToHLS(Pixel[2] / 255.0L, Pixel[1] / 255.0L, Pixel[0] / 255.0L, h, l, s);
        if (h != HueUndefined)
            h = MapHue(Table1, h);
        l = ReadTable(Table2.data(), l * 255) / 255;
        s = ReadTable(Table3.data(), s * 255) / 255;
        // A grey stays a grey whatever the hue table says.
        if (s == 0 || h == HueUndefined) {
            s = 0;
            h = HueUndefined;
        }
        HLSToRGB(h, l, s, r, g, b);
        StoreBGR(r, g, b, Result);
    });
}

void MapHSVExtended(const TXXXFilter& Tables, const std::uint8_t* Pixel, std::uint8_t* Result)
{
    Extended h, s, v, r, g, b;
    RGBToHSV(Pixel[2] / 255.0L, Pixel[1] / 255.0L, Pixel[0] / 255.0L, h, s, v);
    if (h != HueUndefined)
        h = MapHue(Tables.Table1, h);
    s = ReadTable(Tables.Table2.data(), s * 255) / 255;
    if (s == 0 || h == HueUndefined) {
        s = 0;
        h = HueUndefined;
    }
    v = ReadTable(Tables.Table3.data(), v * 255) / 255;
    HSVToRGB(h, s, v, r, g, b);
    StoreBGR(r, g, b, Result);
}

void THSVFilter::MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count)
{
    Memo.Map(In, Out, Count, [this](const std::uint8_t* Pixel, std::uint8_t* Result) {
        if (!MapHSVFast(*this, Pixel, Result))
            MapHSVExtended(*this, Pixel, Result);
    });
}

} // namespace lumeno
