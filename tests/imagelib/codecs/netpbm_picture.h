#pragma once
// Pictures for comparing our decoders with netpbm's: a parser of the binary
// PPM, PGM and PAM files the netpbm tools write (maximum 255), independent
// of the code under test, and a comparison with a decoded image.

#include "imagelib/pixel_graphic.h"
#include "support/test_env.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace lumeno::test {

struct NetpbmPicture {
    int Width = 0;
    int Height = 0;
    int Depth = 0; // samples per pixel
    std::vector<std::uint8_t> Samples;

    bool Empty() const { return Width == 0; }
    const std::uint8_t* At(int x, int y) const
    {
        return Samples.data() + (static_cast<std::size_t>(y) * Width + x) * Depth;
    }
    // Grey pictures count as three equal channels.
    TColor Color(int x, int y) const
    {
        const std::uint8_t* p = At(x, y);
        return Depth < 3 ? RGB(p[0], p[0], p[0]) : RGB(p[0], p[1], p[2]);
    }
};

inline NetpbmPicture ParseNetpbm(const std::string& data)
{
    NetpbmPicture p;
    std::istringstream in(data);
    std::string magic;
    in >> magic;
    int maxval = 0;
    if (magic == "P7") {
        std::string key;
        while (in >> key && key != "ENDHDR") {
            if (key == "WIDTH")
                in >> p.Width;
            else if (key == "HEIGHT")
                in >> p.Height;
            else if (key == "DEPTH")
                in >> p.Depth;
            else if (key == "MAXVAL")
                in >> maxval;
            else
                in.ignore(1 << 20, '\n');
        }
    } else if (magic == "P5" || magic == "P6") {
        in >> p.Width >> p.Height >> maxval;
        p.Depth = magic == "P5" ? 1 : 3;
    } else {
        ADD_FAILURE() << "not a binary netpbm picture: " << magic;
        return {};
    }
    EXPECT_EQ(maxval, 255);
    in.get(); // the one white-space character before the samples
    p.Samples.resize(static_cast<std::size_t>(p.Width) * p.Height * p.Depth);
    in.read(reinterpret_cast<char*>(p.Samples.data()), static_cast<std::streamsize>(p.Samples.size()));
    EXPECT_EQ(in.gcount(), static_cast<std::streamsize>(p.Samples.size())) << "short netpbm picture";
    return p;
}

// The output of a netpbm command line, parsed.
inline NetpbmPicture RunNetpbm(const std::string& commandLine)
{
    return ParseNetpbm(RunOutput(commandLine + " 2>/dev/null"));
}

inline void ExpectSamePixels(TPixelGraphic& g, const NetpbmPicture& p)
{
    ASSERT_EQ(g.GetWidth(), p.Width);
    ASSERT_EQ(g.GetHeight(), p.Height);
    int mismatches = 0;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            if (g.GetPixelColor(x, y) != p.Color(x, y) && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": ours " << std::hex << g.GetPixelColor(x, y)
                              << ", netpbm " << p.Color(x, y);
    EXPECT_EQ(mismatches, 0);
}

} // namespace lumeno::test
