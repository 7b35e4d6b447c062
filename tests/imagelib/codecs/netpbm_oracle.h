#pragma once
// Pictures as netpbm prints them, for comparing our decoders with netpbm's.

#include "imagelib/pixel_graphic.h"
#include "support/test_env.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace lumeno::test {

struct OraclePicture {
    int Width = 0, Height = 0;
    std::vector<TColor> Pixels;
};

// The output of a netpbm command line as colours (maxval scaled to 255).
inline OraclePicture NetpbmPicture(const std::string& commandLine)
{
    std::istringstream in(RunOutput(commandLine + " 2>/dev/null | ppmtoppm -plain 2>/dev/null"));
    std::string magic;
    int maxval = 0;
    OraclePicture p;
    in >> magic >> p.Width >> p.Height >> maxval;
    if (magic != "P3" || maxval <= 0)
        return {};
    auto scale = [&](unsigned v) {
        return (v * 255 + static_cast<unsigned>(maxval) / 2) / static_cast<unsigned>(maxval);
    };
    for (int i = 0; i < p.Width * p.Height; ++i) {
        unsigned r = 0, g = 0, b = 0;
        in >> r >> g >> b;
        p.Pixels.push_back(RGB(scale(r), scale(g), scale(b)));
    }
    return p;
}

// Every pixel of the graphic equals the oracle's within Tolerance.
inline ::testing::AssertionResult SamePicture(TPixelGraphic& g, const OraclePicture& p, int Tolerance = 0)
{
    if (p.Width != g.GetWidth() || p.Height != g.GetHeight())
        return ::testing::AssertionFailure() << "size " << g.GetWidth() << "x" << g.GetHeight() << ", oracle "
                                             << p.Width << "x" << p.Height;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const TColor a = g.GetPixelColor(x, y);
            const TColor b = p.Pixels[static_cast<std::size_t>(y * p.Width + x)];
            const int d = std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))),
                                    std::abs(int(GetGValue(a)) - int(GetGValue(b))),
                                    std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
            if (d > Tolerance)
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << ": " << std::hex << a << " against " << b;
        }
    return ::testing::AssertionSuccess();
}

// Binary PPM of a true-colour picture with some flat areas, edges and noise.
inline void WriteSourcePpm(const std::string& path, int w, int h)
{
    std::string s = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    unsigned seed = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const bool flat = x < w / 3;
            s += static_cast<char>(flat ? 200 : x * 255 / w);
            s += static_cast<char>(flat ? 30 : y * 255 / h);
            s += static_cast<char>(flat ? 90 : (seed >> 16) & 0xFF);
        }
    WriteFileBytes(path, std::vector<unsigned char>(s.begin(), s.end()));
}

} // namespace lumeno::test
