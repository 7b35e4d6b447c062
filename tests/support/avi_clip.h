#pragma once
// Builds small AVI clips byte by byte: an uncompressed 24-bit picture stream
// and, when asked, a 16-bit PCM sound stream interleaved with it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumeno::test {

struct AviClip {
    int Width = 4;
    int Height = 2;
    std::uint32_t Frames = 5;
    std::uint32_t Scale = 1;
    std::uint32_t Rate = 15;
    // Colour (0xRRGGBB) of pixel x, y (y = 0 is the top row) of frame n.
    std::function<std::uint32_t(std::uint32_t n, int x, int y)> Pixel = DefaultPixel;
    // Sound: samples per second, 0 = no sound stream.
    int SampleRate = 0;
    int Channels = 1;

    static std::uint32_t DefaultPixel(std::uint32_t n, int x, int y);
    // Value of channel c of sound sample i.
    static std::int16_t SampleValue(std::int64_t i, int c);
    // Sound samples stored with each frame.
    std::int64_t SamplesPerFrame() const;

    std::vector<unsigned char> Bytes() const;
    void Write(const std::string& path) const;
};

} // namespace lumeno::test
