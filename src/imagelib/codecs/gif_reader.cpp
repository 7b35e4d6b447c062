#include "imagelib/codecs/gif_reader.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/lzw_decoder.h"
#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/pixel_memory.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace lumeno {

namespace {

const TCodecErrorsOf<EPixelGraphic> GifErrors("");

constexpr int ScreenDescriptorSize = 7;
constexpr int ImageDescriptorSize = 10;

std::uint8_t PixelFormatOf(int bits)
{
    return bits <= 1 ? pf1Bit : bits <= 4 ? pf4Bit : pf8Bit;
}

int BitsOfFormat(std::uint8_t format)
{
    return format == pf1Bit ? 1 : format == pf4Bit ? 4 : 8;
}

// Passes over data sub-blocks up to their terminator (and stray zero bytes
// after it), copying their contents to Out when it is given (it has room
// for the rest of the data). Returns how many bytes the contents hold.
std::size_t PassSubBlocks(TGifParseState& s, std::uint8_t* out)
{
    const std::vector<std::uint8_t>& d = s.Data;
    std::size_t total = 0;
    while (s.Position < d.size()) {
        const std::size_t length = d[s.Position++];
        if (length == 0)
            break;
        const std::size_t n = std::min(length, d.size() - s.Position);
        if (out)
            std::memcpy(out + total, d.data() + s.Position, n);
        total += n;
        s.Position += n;
    }
    while (s.Position < d.size() && d[s.Position] == 0)
        ++s.Position;
    return total;
}

// Rows in the order the frame's pixels come: top to bottom, or the four
// passes of an interlaced frame.
class TRowOrder {
public:
    TRowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}

    // The next row, or -1 when every row is done.
    int Next()
    {
        if (!interlaced_)
            return row_ < height_ ? row_++ : -1;
        static constexpr int start[] = {0, 4, 2, 1};
        static constexpr int step[] = {8, 8, 4, 2};
        while (pass_ < 4) {
            if (row_ < height_) {
                const int r = row_;
                row_ += step[pass_];
                return r;
            }
            if (++pass_ < 4)
                row_ = start[pass_];
        }
        return -1;
    }

private:
    int height_;
    bool interlaced_;
    int pass_ = 0;
    int row_ = 0;
};

// Packs a row of indices into a scan line of 1, 4 or 8 bits per pixel.
void StoreRow(const std::uint8_t* indices, int width, int bits, std::uint8_t* line)
{
    if (bits == 8) {
        std::memcpy(line, indices, static_cast<std::size_t>(width));
        return;
    }
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int x = 0; x < width; x += perByte) {
        int b = 0;
        for (int k = 0; k < perByte; ++k)
            b = b << bits | (x + k < width ? indices[x + k] & mask : 0);
        line[x / perByte] = static_cast<std::uint8_t>(b);
    }
}

void SetPalette(TPixelGraphic& g, const std::uint8_t* table, int bits)
{
    const int n = bits == 0 ? 1 : 1 << bits;
    g.SetPaletteSize(n);
    for (int i = 0; i < n; ++i, table += 3)
        g.SetPaletteEntry(i, RGB(table[0], table[1], table[2]));
}

// A code gives at most 4,096 pixels: a frame its codes cannot fill is
// refused before its pixel memory is taken.
void CheckCodesCanFill(const TGifParseState& s, std::size_t codeBytes, int minCodeSize)
{
    const std::int64_t codes = static_cast<std::int64_t>(codeBytes) * 8 / (minCodeSize + 1);
    if (std::int64_t{s.Width} * s.Height > codes * 4096)
        GifErrors.RaiseMessage(msgUnexpectedEnd);
}

// Decodes the image data at the position into the graphic, row by row.
void DecodeFrame(TGifParseState& s, const std::uint8_t* table, int bits, bool interlaced)
{
    TPixelGraphic& g = *s.Graphic;
    CheckImageSize(GifErrors, s.Width, s.Height, BitsOfFormat(PixelFormatOf(bits)));
    int minCodeSize = 1;
    // The codes never hold more than the rest of the file.
    const TPixelMemory codes = AllocatePixelMemory(s.Data.size() - s.Position + 1);
    if (!codes)
        throw std::bad_alloc();
    std::size_t codeBytes = 0;
    if (s.Position < s.Data.size()) {
        minCodeSize = s.Data[s.Position++];
        if (minCodeSize < 1 || minCodeSize > 11)
            GifErrors.RaiseMessage(msgInvalid, "LZW code size");
        codeBytes = PassSubBlocks(s, codes.get());
    }
    CheckCodesCanFill(s, codeBytes, minCodeSize);
    g.SetDimensions(s.Width, s.Height, PixelFormatOf(bits));
    SetPalette(g, table, bits);
    if (g.GetEmpty())
        return;
    // The decoder copies each string from where it was last written, so
    // the whole frame's indices stay in one buffer; missing ones are 0. Its
    // table is too big for a worker thread's stack. The frame is pixel
    // memory: a few huge pages to fault in, not thousands of small ones.
    const auto lzw = std::make_unique<TLZWDecoder>(codes.get(), codeBytes, minCodeSize);
    const auto width = static_cast<std::size_t>(s.Width);
    const std::size_t frameSize = width * static_cast<std::size_t>(s.Height);
    const TPixelMemory frame = AllocatePixelMemory(frameSize);
    if (!frame)
        throw std::bad_alloc();
    std::size_t written = 0;
    TRowOrder order(s.Height, interlaced);
    const int storedBits = BitsOfFormat(g.GetPixelFormat());
    for (int done = 1;; ++done) {
        const int y = order.Next();
        if (y < 0)
            return;
        const std::size_t end = width * static_cast<std::size_t>(done);
        written = lzw->Decode(frame.get(), frameSize, end);
        StoreRow(frame.get() + end - width, s.Width, storedBits, g.GetScanLine(y));
        if (g.Progress(done, s.Height - 1)) {
            s.Aborted = true;
            return;
        }
        if (written < end)
            return;
    }
}

bool ParseHeader(TGifParseState& s)
{
    const std::vector<std::uint8_t>& d = s.Data;
    if (d.size() < 3 || d[0] != 'G' || d[1] != 'I' || d[2] != 'F')
        return false;
    s.Version = d.size() > 4 && d[4] == '7' ? "87a" : "89a";
    s.Position = 6;
    if (d.size() < s.Position + ScreenDescriptorSize) {
        s.Position = d.size();
        return true;
    }
    const std::uint8_t packed = d[s.Position + 4];
    s.Position += ScreenDescriptorSize;
    if (packed & 0x80) {
        s.GlobalBits = (packed & 7) + 1;
        const std::size_t n = std::min<std::size_t>(3u << s.GlobalBits, d.size() - s.Position);
        std::copy_n(d.begin() + static_cast<std::ptrdiff_t>(s.Position), n, s.GlobalTable.begin());
        s.Position += n;
    }
    return true;
}

} // namespace

tGifFileFormatReader::tGifFileFormatReader() : TFileFormatReader("gif", "GIF") {}

bool tGifFileFormatReader::CanRead(TFileHeader Header) const
{
    return Header[0] == 'G' && Header[1] == 'I' && Header[2] == 'F';
}

bool tGifFileFormatReader::Decode(TGifParseState& State) const
{
    TGifParseState& s = State;
    const std::vector<std::uint8_t>& d = s.Data;
    if (d.size() - s.Position < ImageDescriptorSize)
        return false;
    const std::uint8_t* desc = d.data() + s.Position;
    const int width = GetU16LE(desc + 5);
    const int height = GetU16LE(desc + 7);
    const std::uint8_t packed = desc[9];
    s.Position += ImageDescriptorSize;
    ++s.ImageCount;

    std::array<std::uint8_t, 768> localTable{};
    const std::uint8_t* table = s.GlobalTable.data();
    int bits = s.GlobalBits;
    if (packed & 0x80) {
        bits = (packed & 7) + 1;
        const std::size_t n = std::min<std::size_t>(3u << bits, d.size() - s.Position);
        std::copy_n(d.begin() + static_cast<std::ptrdiff_t>(s.Position), n, localTable.begin());
        s.Position += n;
        table = localTable.data();
    }
    const bool interlaced = (packed & 0x40) != 0;
    s.MaxBits = std::max(s.MaxBits, bits);
    s.AnyInterlaced = s.AnyInterlaced || interlaced;

    if (s.ImageCount == s.Requested) {
        s.Width = width;
        s.Height = height;
        s.Bits = bits;
        if (!s.InfoOnly) {
            DecodeFrame(s, table, bits, interlaced);
            return true;
        }
    }
    if (s.Position < d.size())
        ++s.Position; // the LZW code size
    PassSubBlocks(s, nullptr);
    return true;
}

bool tGifFileFormatReader::Parse(TStream& Stream, TGifParseState& State) const
{
    TCodecReader in(Stream, GifErrors);
    State.Data.resize(static_cast<std::size_t>(in.Remaining()));
    in.Read(State.Data.data(), in.Remaining());
    if (!ParseHeader(State))
        return false;
    const std::vector<std::uint8_t>& d = State.Data;
    while (State.Position < d.size() && !State.Aborted) {
        const std::uint8_t block = d[State.Position];
        if (block == '!') {
            // Every extension, known or not, is a label and sub-blocks.
            State.Position = std::min(State.Position + 2, d.size());
            PassSubBlocks(State, nullptr);
        } else if (block != ',' || !Decode(State)) {
            break; // the trailer, or bytes that are no block
        }
    }
    return true;
}

void tGifFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    TCodecProgressScope progress(Graphic);
    TGifParseState state;
    state.Requested = Index + 1;
    state.Graphic = &Graphic;
    Parse(Stream, state);
    if (state.Requested < 1 || state.Requested > state.ImageCount)
        throw EPixelGraphic("Index out of bounds");
}

void tGifFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    TGifParseState state;
    state.Requested = Index + 1;
    state.InfoOnly = true;
    if (!Parse(Stream, state))
        throw EPixelGraphic("Not a proper GIF file");
    if (state.Requested < 1 || state.Requested > state.ImageCount)
        throw EPixelGraphic("Index out of bounds");
    Width = state.Width;
    Height = state.Height;
    BitCount = state.Bits;
    Colors = std::to_string(1 << state.Bits);
    ImageCount = state.ImageCount;
    SubFormat = state.Version;
    Remarks = state.AnyInterlaced ? "Interlaced" : "Non-interlaced";
}

void PGGifStartup()
{
    FileFormatRegistry().AddReader(std::make_unique<tGifFileFormatReader>());
}

} // namespace lumeno
