#pragma once
// Builders for GIF test files: hand-made byte streams for the cases no
// encoder writes, and ImageMagick for real files and their composed frames.

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno::test {

// A GIF whose images use 2-bit codes with a clear code before each pixel
// (valid LZW that any decoder reads). The global table has four colours:
// black, white, red, green.
class GifBytes {
public:
    GifBytes(int width, int height, bool globalTable = true);
    GifBytes& Control(int disposal, int delay, bool transparent = false, int transparentIndex = 0);
    GifBytes& Netscape(int loops);
    GifBytes& Comment(const std::string& text);
    GifBytes& Raw(const std::vector<std::uint8_t>& bytes);
    // pixels: width * height indices 0..3, top row first.
    GifBytes& Image(int left, int top, int width, int height, const std::vector<std::uint8_t>& pixels,
                    int minCodeSize = 2);
    std::vector<std::uint8_t> Bytes() const;

private:
    std::vector<std::uint8_t> bytes_;
};

// Frames of `convert-im6.q16 file -coalesce`, in ARGB32.
std::vector<QImage> CoalescedFrames(const std::string& file, int width, int height);

} // namespace lumeno::test
