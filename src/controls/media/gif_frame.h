#pragma once
// One decoded image of a GIF file: its place on the logical screen, how it
// is shown and disposed of, and its palette indices.

#include "controls/media/gif_reader.h"
#include "platform/types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumeno {

// The graphic control extension that applies to the next image.
struct TGIFGraphicControl {
    bool Present = false;
    std::uint8_t Flags = 0;
    std::uint16_t Delay = 0; // hundredths of a second
    std::uint8_t TransparentIndex = 0;
};

// Largest frame side accepted; larger ones stop the reading.
constexpr int kGIFMaxSide = 16384;

// Row numbers in the order an interlaced image stores them.
std::vector<int> InterlacedRows(int height);

class TGIFFrame {
public:
    enum class TReadResult { rrOk, rrTruncated, rrFailed };
    // Called with the reader's position while a large frame decodes.
    using TProgress = std::function<void(std::size_t position)>;

    // Reads the image descriptor (at its separator), the local table and the
    // image data. rrTruncated keeps what could be decoded; rrFailed means the
    // frame is unusable. pixelBudget bounds the memory of all frames.
    TReadResult Read(TGIFReader& reader, const TGIFGraphicControl& control,
                     const std::array<std::uint8_t, 768>& globalTable, std::size_t& pixelBudget,
                     const TProgress& progress);

    std::uint8_t IndexAt(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }

    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Disposal = 0; // 0 none, 1 keep, 2 restore to background, 3 restore previous
    int Delay = 0;    // milliseconds
    bool Interlaced = false;
    bool Transparent = false;
    int TransparentIndex = 0;
    TColor TransparentColor = 0;
    int ColorBits = 0; // of its own table; 0 when it uses the global one
    std::array<std::uint8_t, 768> ColorTable{};
    // Premultiplied ARGB per index; the transparent index is 0.
    std::array<std::uint32_t, 256> Colors{};
    std::vector<std::uint8_t> Pixels; // Width * Height indices, top row first
    std::string Comment;

private:
    void ApplyControl(const TGIFGraphicControl& control);
    void BuildColors();
    bool DecodeImage(TGIFReader& reader, int minCodeSize, const TProgress& progress);
};

} // namespace lumeno
