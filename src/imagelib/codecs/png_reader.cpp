#include "imagelib/codecs/png_reader.h"

#include "imagelib/codecs/png_io.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

namespace lumeno {

namespace {

constexpr int msgNotSupportedSubformat = 30;

// libpng's read and info structures over a stream, destroyed with the
// object whatever state a failure left them in.
class TPNGDecoder {
public:
    TPNGDecoder(TStream& stream, TPGWarningAction warningAction)
    {
        context_.Stream = &stream;
        context_.WarningAction = warningAction;
        png_ = CreatePNGReadStruct(context_);
        try {
            info_ = CreatePNGInfoStruct(context_, png_);
        } catch (...) {
            png_destroy_read_struct(&png_, nullptr, nullptr);
            throw;
        }
        AttachPNGReader(png_, context_);
        // libpng allocates and clears a buffer of the length a text or
        // profile chunk claims (its size cap only warns), so a few bytes
        // could claim two gigabytes. None of these chunks is used: skip them.
        static const png_byte unused[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0pCAL\0sCAL\0eXIf";
        png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, unused, 8);
    }
    ~TPNGDecoder() { png_destroy_read_struct(&png_, &info_, nullptr); }
    TPNGDecoder(const TPNGDecoder&) = delete;
    TPNGDecoder& operator=(const TPNGDecoder&) = delete;

    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }

    template <class F> void Run(const F& call) { context_.Guard.Run(call); }

    void ReadInfo()
    {
        Run([this] { png_read_info(png_, info_); });
    }

private:
    TPNGContext context_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// What the header says, as the reader uses it.
struct THeader {
    int Width = 0;
    int Height = 0;
    int BitDepth = 0;
    int ColorType = 0;
    int Channels = 0;
    int Interlace = 0;
};

THeader ReadHeader(const TPNGDecoder& decoder)
{
    THeader h;
    h.Width = static_cast<int>(png_get_image_width(decoder.Png(), decoder.Info()));
    h.Height = static_cast<int>(png_get_image_height(decoder.Png(), decoder.Info()));
    h.BitDepth = png_get_bit_depth(decoder.Png(), decoder.Info());
    h.ColorType = png_get_color_type(decoder.Png(), decoder.Info());
    h.Channels = png_get_channels(decoder.Png(), decoder.Info());
    h.Interlace = png_get_interlace_type(decoder.Png(), decoder.Info());
    return h;
}

std::uint8_t PixelFormat(const THeader& h)
{
    if (h.Channels >= 3)
        return pf24Bit;
    switch (h.BitDepth) {
    case 1:
        return pf1Bit;
    case 2:
    case 4:
        return pf4Bit;
    default:
        return pf8Bit;
    }
}

int FormatBits(std::uint8_t format)
{
    static const int bits[] = {1, 4, 8, 24};
    return bits[format];
}

TPaletteIdent GrayPalette(int bitDepth)
{
    switch (bitDepth) {
    case 1:
        return pBlackWhite;
    case 2:
        return pGray4;
    case 4:
        return pGray16;
    default:
        return pGray256;
    }
}

// A background colour channel (0..255) in the scale libpng composites with:
// the samples of files below 8 bits, else 8 bits (libpng widens it itself
// when it strips 16-bit samples).
png_uint_16 FileSample(unsigned channel, int bitDepth)
{
    if (bitDepth >= 8)
        return static_cast<png_uint_16>(channel);
    const unsigned top = (1u << bitDepth) - 1;
    return static_cast<png_uint_16>((channel * top + 127) / 255);
}

// An 8-bit channel from a sample of the file's scale.
unsigned EightBitSample(png_uint_16 sample, int bitDepth)
{
    if (bitDepth == 16)
        return sample >> 8;
    if (bitDepth == 8)
        return sample & 0xFFu;
    const unsigned top = (1u << bitDepth) - 1;
    return (std::min<unsigned>(sample, top) * 255 + top / 2) / top;
}

bool HasTransparency(const TPNGDecoder& decoder, const THeader& h)
{
    return png_get_valid(decoder.Png(), decoder.Info(), PNG_INFO_tRNS) ||
           (h.ColorType & PNG_COLOR_MASK_ALPHA);
}

// Tells libpng what to composite transparent pixels over: the file's
// background, returned to become the graphic's fill colour once its pixel
// format is set, or that fill colour.
std::optional<TColor> SetBackground(TPNGDecoder& decoder, const THeader& h, const TPixelGraphic& graphic)
{
    png_structp png = decoder.Png();
    // A palette file's colours, background included, are 8-bit.
    const int depth = h.ColorType == PNG_COLOR_TYPE_PALETTE ? 8 : h.BitDepth;
    png_color_16p fileBackground = nullptr;
    png_color_16 b{};
    int gammaCode = PNG_BACKGROUND_GAMMA_SCREEN;
    std::optional<TColor> fill;
    if (PNGUseFileBackground && png_get_bKGD(png, decoder.Info(), &fileBackground)) {
        b = *fileBackground;
        fill = RGB(EightBitSample(b.red, depth), EightBitSample(b.green, depth), EightBitSample(b.blue, depth));
        gammaCode = PNG_BACKGROUND_GAMMA_FILE;
        if (depth == 16) {
            for (png_uint_16* sample : {&b.red, &b.green, &b.blue, &b.gray})
                *sample = static_cast<png_uint_16>(*sample >> 8);
        }
    } else {
        const TColor fill = graphic.GetFillColor();
        b.red = FileSample(GetRValue(fill), depth);
        b.green = FileSample(GetGValue(fill), depth);
        b.blue = FileSample(GetBValue(fill), depth);
        b.gray = FileSample((GetRValue(fill) + GetGValue(fill) + GetBValue(fill)) / 3, depth);
    }
    decoder.Run([&] { png_set_background(png, &b, gammaCode, 0, 1.0); });
    return fill;
}

// Sets the transformations; returns the number of interlace passes and
// gives the file's background when transparent pixels take it.
int SetTransformations(TPNGDecoder& decoder, const THeader& h, TPixelGraphic& graphic,
                       std::optional<TColor>& background)
{
    png_structp png = decoder.Png();
    double fileGamma = 0;
    if (png_get_gAMA(png, decoder.Info(), &fileGamma) && fileGamma > 0)
        graphic.SetGamma(1 / static_cast<Extended>(fileGamma));
    int passes = 1;
    decoder.Run([&] {
        // Samples are composited as stored; libpng would otherwise work in
        // linear light for files with a gamma.
        png_set_gamma(png, 1.0, 1.0);
        png_set_strip_16(png);
        png_set_bgr(png);
        passes = png_set_interlace_handling(png);
    });
    if (HasTransparency(decoder, h))
        background = SetBackground(decoder, h, graphic);
    decoder.Run([&] { png_read_update_info(png, decoder.Info()); });
    return passes;
}

// Deflate packs at most 1,032 bytes into one: a header promising more
// filtered rows than the rest of the file can unpack to is refused before
// pixel memory is taken.
void CheckDataCanFill(TStream& stream, const THeader& h)
{
    const std::int64_t rowBytes = (std::int64_t{h.Width} * h.Channels * h.BitDepth + 7) / 8 + 1;
    if (rowBytes * h.Height > (stream.GetSize() - stream.GetPosition()) * 1032)
        PNGErrors.RaiseMessage(msgUnexpectedEnd);
}

void SetPalette(const TPNGDecoder& decoder, const THeader& h, TPixelGraphic& graphic)
{
    if (graphic.GetPixelFormat() == pf24Bit)
        return;
    if (h.ColorType != PNG_COLOR_TYPE_PALETTE) {
        graphic.SetPaletteType(GrayPalette(h.BitDepth));
        return;
    }
    png_colorp palette = nullptr;
    int count = 0;
    if (!png_get_PLTE(decoder.Png(), decoder.Info(), &palette, &count))
        count = 0;
    count = std::min(count, 1 << h.BitDepth);
    graphic.SetPaletteSize(count);
    for (int i = 0; i < count; ++i)
        graphic.SetPaletteEntry(i, RGB(palette[i].red, palette[i].green, palette[i].blue));
}

// Rows of 2-bit samples, read into the 4-bit image, spread to one sample
// per nibble; from the end so that nothing is overwritten before use.
void Expand2BitRows(TPixelGraphic& graphic)
{
    const int width = graphic.GetWidth();
    for (int y = 0; y < graphic.GetHeight(); ++y) {
        std::uint8_t* row = graphic.GetScanLine(y);
        for (int x = width - 1; x >= 0; --x) {
            const unsigned value = (row[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
            std::uint8_t& target = row[x >> 1];
            target = (x & 1) ? static_cast<std::uint8_t>((target & 0xF0u) | value)
                             : static_cast<std::uint8_t>((target & 0x0Fu) | value << 4);
        }
    }
}

// Reads every pass; false when the user aborted.
bool ReadRows(TPNGDecoder& decoder, TPixelGraphic& graphic, int passes)
{
    const int height = graphic.GetHeight();
    // Seven passes over a very tall image count past the int range.
    const std::int64_t total = std::int64_t{passes} * height;
    const std::int64_t max = std::min<std::int64_t>(total, INT_MAX);
    png_structp png = decoder.Png();
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y) {
            png_bytep row = graphic.GetScanLine(y);
            decoder.Run([&] { png_read_row(png, row, nullptr); });
            const std::int64_t step = std::int64_t{pass} * height + y;
            if (graphic.Progress(static_cast<int>(static_cast<double>(step) * max / total),
                                 static_cast<int>(max)))
                return false;
        }
    }
    return true;
}

bool ReadPixels(TPNGDecoder& decoder, TPixelGraphic& graphic, int passes)
{
    graphic.ProgressStart();
    bool complete = false;
    try {
        complete = ReadRows(decoder, graphic, passes);
    } catch (...) {
        graphic.ProgressEnd();
        throw;
    }
    graphic.ProgressEnd();
    return complete;
}

std::string SubFormatText(const THeader& h)
{
    std::string text = "GrayScale";
    if (h.ColorType & PNG_COLOR_MASK_PALETTE)
        text = "palette";
    else if (h.ColorType & PNG_COLOR_MASK_COLOR)
        text = "RGB";
    if (h.ColorType & PNG_COLOR_MASK_ALPHA)
        text += ", alpha";
    if (h.Interlace == PNG_INTERLACE_ADAM7)
        text += ", interlaced";
    return text;
}

std::string ChunkList(const TPNGDecoder& decoder)
{
    static const struct {
        png_uint_32 Flag;
        const char* Name;
    } chunks[] = {{PNG_INFO_gAMA, "gama"}, {PNG_INFO_sBIT, "sbit"}, {PNG_INFO_cHRM, "chrm"},
                  {PNG_INFO_PLTE, "plte"}, {PNG_INFO_tRNS, "trns"}, {PNG_INFO_bKGD, "bkgd"},
                  {PNG_INFO_hIST, "hist"}, {PNG_INFO_pHYs, "phys"}, {PNG_INFO_oFFs, "offs"},
                  {PNG_INFO_tIME, "time"}};
    std::string names;
    bool other = false;
    for (const auto& c : chunks) {
        if (!png_get_valid(decoder.Png(), decoder.Info(), c.Flag))
            continue;
        names += (names.empty() ? "" : ", ") + std::string(c.Name);
        other = other || c.Flag != PNG_INFO_oFFs;
    }
    return other ? "(" + names + ")" : std::string();
}

const char* ColorsText(int depth)
{
    switch (depth) {
    case 1:
        return "2";
    case 2:
        return "4";
    case 4:
        return "16";
    case 8:
        return "256";
    case 16:
        return "64K?";
    case 24:
        return "16.7M";
    case 32:
        return "16.7M?";
    default:
        return "?";
    }
}

} // namespace

TPNGFileFormatReader::TPNGFileFormatReader() : TFileFormatReader("png", "Portable Network Graphics") {}

bool TPNGFileFormatReader::CanRead(TFileHeader Header) const
{
    static const std::uint8_t signature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
    return std::equal(std::begin(signature), std::end(signature), Header.begin());
}

void TPNGFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        PNGErrors.RaiseMessage(msgInvalid, "Index");
    Graphic.SetGamma(DefaultGamma);
    TPNGDecoder decoder(Stream, Graphic.GetReadWarningAction());
    decoder.ReadInfo();
    const THeader h = ReadHeader(decoder);
    const std::uint8_t format = PixelFormat(h);
    CheckImageSize(PNGErrors, h.Width, h.Height, FormatBits(format));
    CheckDataCanFill(Stream, h);
    std::optional<TColor> background;
    const int passes = SetTransformations(decoder, h, Graphic, background);
    Graphic.SetDimensions(h.Width, h.Height, format);
    // libpng's rows must fit the image's.
    if (png_get_rowbytes(decoder.Png(), decoder.Info()) > static_cast<png_size_t>(Graphic.GetStride()))
        PNGErrors.RaiseMessage(msgNotSupportedSubformat);
    SetPalette(decoder, h, Graphic);
    if (background)
        Graphic.SetFillColor(*background);
    if (!ReadPixels(decoder, Graphic, passes))
        return;
    if (h.BitDepth == 2)
        Expand2BitRows(Graphic);
    decoder.Run([&] { png_read_end(decoder.Png(), decoder.Info()); });
}

void TPNGFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    if (Index != 0)
        PNGErrors.RaiseMessage(msgInvalidValue, "Index");
    // No graphic here: warnings are handled as a new graphic's are.
    TPNGDecoder decoder(Stream, pgwaOKCancelBox);
    decoder.ReadInfo();
    const THeader h = ReadHeader(decoder);
    SubFormat = SubFormatText(h);
    Remarks = ChunkList(decoder);
    Width = h.Width;
    Height = h.Height;
    BitCount = h.Channels * h.BitDepth;
    Colors = ColorsText(BitCount);
}

} // namespace lumeno
