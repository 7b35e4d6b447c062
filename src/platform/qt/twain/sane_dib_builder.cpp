#include "platform/qt/twain/sane_dib_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumeno {

namespace {

constexpr std::int64_t MaxDibSize = std::int64_t{1} << 31;
constexpr int HeaderSize = 40;

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

std::int64_t DibStride(int width, int bits)
{
    return ((std::int64_t{width} * bits + 31) / 32) * 4;
}

int Channels(SANE_Frame format)
{
    return format == SANE_FRAME_RGB ? 3 : 1;
}

// One sample of a row at 8 or 16 bits, scaled to 8 bits.
std::uint8_t Sample(const SANE_Byte* row, std::int64_t index, int depth)
{
    if (depth == 8)
        return row[index];
    std::uint16_t v;
    std::memcpy(&v, row + index * 2, 2); // SANE sends 16-bit samples in host order
    return static_cast<std::uint8_t>(v >> 8);
}

} // namespace

std::int64_t TSaneDibBuilder::TFrame::Rows() const
{
    const std::int64_t received = static_cast<std::int64_t>(Data.size()) / Params.bytes_per_line;
    return Params.lines < 0 ? received : std::min<std::int64_t>(received, Params.lines);
}

bool TSaneDibBuilder::Error(const std::string& Text)
{
    FError = Text;
    return false;
}

bool TSaneDibBuilder::BeginFrame(const SANE_Parameters& P)
{
    const bool grey = P.format == SANE_FRAME_GRAY;
    if (P.format < SANE_FRAME_GRAY || P.format > SANE_FRAME_BLUE)
        return Error("unknown frame format");
    if (!(P.depth == 8 || P.depth == 16 || (P.depth == 1 && grey)))
        return Error("unsupported sample depth");
    if (P.pixels_per_line <= 0 || P.lines < -1)
        return Error("invalid image size");
    const std::int64_t rowBits = std::int64_t{P.pixels_per_line} * P.depth * Channels(P.format);
    if (P.bytes_per_line < (rowBits + 7) / 8)
        return Error("invalid line length");
    if (DibStride(P.pixels_per_line, 24) * std::max(P.lines, 1) >= MaxDibSize)
        return Error("image too large");
    if (!FFrames.empty()) {
        const SANE_Parameters& first = FFrames.front().Params;
        const bool separate = first.format >= SANE_FRAME_RED && P.format >= SANE_FRAME_RED;
        if (!separate || P.pixels_per_line != first.pixels_per_line || P.depth != first.depth)
            return Error("frames do not match");
    }
    FFrames.push_back({P, {}});
    return true;
}

void TSaneDibBuilder::Append(const SANE_Byte* Data, std::size_t Length)
{
    if (FFrames.empty())
        return;
    auto& data = FFrames.back().Data;
    const std::size_t limit = static_cast<std::size_t>(MaxDibSize);
    data.insert(data.end(), Data, Data + std::min(Length, limit - std::min(limit, data.size())));
}

const TSaneDibBuilder::TFrame* TSaneDibBuilder::FrameOf(SANE_Frame Format) const
{
    for (const TFrame& frame : FFrames)
        if (frame.Params.format == Format)
            return &frame;
    return nullptr;
}

int TSaneDibBuilder::OutputBits() const
{
    const SANE_Parameters& p = FFrames.front().Params;
    if (p.format != SANE_FRAME_GRAY)
        return 24;
    return p.depth == 1 ? 1 : 8;
}

bool TSaneDibBuilder::Complete(int& Width, int& Height)
{
    if (FFrames.empty())
        return Error("no image data");
    const bool separate = FFrames.front().Params.format >= SANE_FRAME_RED;
    if (separate && (!FrameOf(SANE_FRAME_RED) || !FrameOf(SANE_FRAME_GREEN) || !FrameOf(SANE_FRAME_BLUE)))
        return Error("colour frames missing");
    std::int64_t rows = FFrames.front().Rows();
    for (const TFrame& frame : FFrames)
        rows = std::min(rows, frame.Rows());
    if (rows <= 0)
        return Error("no image data");
    if (DibStride(FFrames.front().Params.pixels_per_line, OutputBits()) * rows >= MaxDibSize)
        return Error("image too large");
    Width = FFrames.front().Params.pixels_per_line;
    Height = static_cast<int>(rows);
    return true;
}

HGLOBAL TSaneDibBuilder::Build()
{
    int width = 0;
    int height = 0;
    if (!Complete(width, height))
        return nullptr;
    const int bits = OutputBits();
    const int colours = bits == 24 ? 0 : 1 << bits;
    const std::int64_t stride = DibStride(width, bits);
    const std::int64_t offset = HeaderSize + 4 * colours;
    HGLOBAL dib = GlobalAlloc(GHND, static_cast<std::size_t>(offset + stride * height));
    auto* p = static_cast<std::uint8_t*>(GlobalLock(dib));
    if (!p) {
        Error("not enough memory");
        return nullptr;
    }
    WriteHeader(p, width, height, static_cast<std::uint32_t>(stride * height));
    for (int i = 0; i < colours; ++i) {
        // 1-bit SANE data is 1 for black.
        const int grey = bits == 1 ? (i == 0 ? 255 : 0) : i;
        std::memset(p + HeaderSize + 4 * i, grey, 3);
    }
    for (int y = 0; y < height; ++y)
        WriteRow(p + offset + stride * (height - 1 - y), y, width);
    GlobalUnlock(dib);
    return dib;
}

void TSaneDibBuilder::WriteHeader(std::uint8_t* Dib, int Width, int Height, std::uint32_t ImageSize) const
{
    const int bits = OutputBits();
    const auto ppm = static_cast<std::uint32_t>(std::lround(FDpi / 0.0254));
    Put32(Dib, HeaderSize);
    Put32(Dib + 4, static_cast<std::uint32_t>(Width));
    Put32(Dib + 8, static_cast<std::uint32_t>(Height));
    Put16(Dib + 12, 1);
    Put16(Dib + 14, static_cast<std::uint32_t>(bits));
    Put32(Dib + 20, ImageSize);
    Put32(Dib + 24, ppm);
    Put32(Dib + 28, ppm);
    Put32(Dib + 32, bits == 24 ? 0 : 1u << bits);
}

void TSaneDibBuilder::WriteRow(std::uint8_t* Dest, std::int64_t Row, int Width) const
{
    const TFrame& first = FFrames.front();
    const int depth = first.Params.depth;
    const auto rowOf = [Row](const TFrame& f) { return f.Data.data() + Row * f.Params.bytes_per_line; };
    switch (first.Params.format) {
    case SANE_FRAME_GRAY:
        if (depth == 1)
            std::memcpy(Dest, rowOf(first), static_cast<std::size_t>((Width + 7) / 8));
        else
            for (int x = 0; x < Width; ++x)
                Dest[x] = Sample(rowOf(first), x, depth);
        break;
    case SANE_FRAME_RGB: {
        const SANE_Byte* src = rowOf(first);
        for (int x = 0; x < Width; ++x, Dest += 3) {
            Dest[0] = Sample(src, 3 * std::int64_t{x} + 2, depth);
            Dest[1] = Sample(src, 3 * std::int64_t{x} + 1, depth);
            Dest[2] = Sample(src, 3 * std::int64_t{x}, depth);
        }
        break;
    }
    default: {
        const SANE_Byte* r = rowOf(*FrameOf(SANE_FRAME_RED));
        const SANE_Byte* g = rowOf(*FrameOf(SANE_FRAME_GREEN));
        const SANE_Byte* b = rowOf(*FrameOf(SANE_FRAME_BLUE));
        for (int x = 0; x < Width; ++x, Dest += 3) {
            Dest[0] = Sample(b, x, depth);
            Dest[1] = Sample(g, x, depth);
            Dest[2] = Sample(r, x, depth);
        }
        break;
    }
    }
}

} // namespace lumeno
