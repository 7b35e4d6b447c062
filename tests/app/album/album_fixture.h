#pragma once
// Pictures on disk for the album tests, written with the library's writers.

#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "support/test_env.h"

#include <string>

namespace lumeno::test {

inline void StartImageLibraryOnce()
{
    static const bool started = [] {
        PGStartup();
        return true;
    }();
    (void)started;
}

// A w x h picture of one colour, saved under the name (format by extension).
inline std::string WritePicture(const TempDir& dir, const std::string& name, int w, int h, TColor color)
{
    StartImageLibraryOnce();
    TPixelGraphic image;
    image.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, y, color);
    const std::string path = dir.File(name);
    image.SaveToFile(path);
    return path;
}

} // namespace lumeno::test
