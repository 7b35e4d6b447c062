// A benchmark-only command, so that whole runs of the library compare with
// whole runs of the peer tools: loads a picture, applies at most one
// operation and saves the result (the format by the extension).
//   lumeno_convert IN [OUT [rotate DEGREES | scale PERCENT | sharpen]]

#include "imagelib/codecs/gif_reader.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace lumeno;

// The operation's result from G into Out; false for no (known) operation.
bool Apply(TPixelGraphic& g, TPixelGraphic& out, const std::string& op, const char* value)
{
    if (op == "rotate") {
        out.SetRotateInterpolation(true);
        out.Rotate(true, g, std::strtold(value, nullptr));
    } else if (op == "scale") {
        const double percent = std::strtod(value, nullptr);
        out.SetDimensions(static_cast<int>(g.GetWidth() * percent / 100),
                          static_cast<int>(g.GetHeight() * percent / 100), pf24Bit);
        out.SetStretchMode(smPrecise);
        out.StretchFrom(g);
    } else if (op == "sharpen") {
        TConvFilter f;
        f.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
        out.ApplyFilter(f, g);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s IN [OUT [rotate DEGREES | scale PERCENT | sharpen]]\n", argv[0]);
        return 2;
    }
    try {
        PGStartup();
        PGGifStartup();
        JPEGQuality = 90;
        PxMBinary = true; // as the peers write
        TPixelGraphic source, result;
        source.LoadFromFile(argv[1]);
        const bool changed = argc >= 4 && Apply(source, result, argv[3], argc >= 5 ? argv[4] : "");
        if (argc >= 3)
            (changed ? result : source).SaveToFile(std::filesystem::absolute(argv[2]).string());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
