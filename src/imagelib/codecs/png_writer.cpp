#include "imagelib/codecs/png_writer.h"

#include "imagelib/codecs/png_io.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <vector>

namespace lumeno {

namespace {

// libpng's write and info structures over a stream, destroyed with the
// object.
class TPNGEncoder {
public:
    TPNGEncoder(TStream& stream, TPGWarningAction warningAction)
    {
        context_.Stream = &stream;
        context_.WarningAction = warningAction;
        png_ = CreatePNGWriteStruct(context_);
        try {
            info_ = CreatePNGInfoStruct(context_, png_);
        } catch (...) {
            png_destroy_write_struct(&png_, nullptr);
            throw;
        }
        AttachPNGWriter(png_, context_);
    }
    ~TPNGEncoder() { png_destroy_write_struct(&png_, &info_); }
    TPNGEncoder(const TPNGEncoder&) = delete;
    TPNGEncoder& operator=(const TPNGEncoder&) = delete;

    png_structp Png() const { return png_; }
    png_infop Info() const { return info_; }

    template <class F> void Run(const F& call) { context_.Guard.Run(call); }

private:
    TPNGContext context_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

std::vector<png_color> PaletteOf(const TPixelGraphic& graphic)
{
    std::vector<png_color> palette(static_cast<std::size_t>(graphic.GetDIBPaletteEntries()));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const TColor c = graphic.GetPaletteEntry(static_cast<int>(i));
        palette[i] = {static_cast<png_byte>(GetRValue(c)), static_cast<png_byte>(GetGValue(c)),
                      static_cast<png_byte>(GetBValue(c))};
    }
    return palette;
}

void WritePNGHeader(TPNGEncoder& encoder, TPixelGraphic& graphic)
{
    const bool trueColor = graphic.GetPixelFormat() == pf24Bit;
    const bool gray = graphic.GetPixelFormat() == pf8Bit && graphic.GetPaletteType() == pGray256;
    const int colorType = trueColor ? PNG_COLOR_TYPE_RGB
                          : gray    ? PNG_COLOR_TYPE_GRAY
                                    : PNG_COLOR_TYPE_PALETTE;
    const int depth = trueColor ? 8 : graphic.GetBitsPerPixel();
    const std::vector<png_color> palette =
        colorType == PNG_COLOR_TYPE_PALETTE ? PaletteOf(graphic) : std::vector<png_color>();
    png_structp png = encoder.Png();
    png_infop info = encoder.Info();
    encoder.Run([&] {
        png_set_IHDR(png, info, static_cast<png_uint_32>(graphic.GetWidth()),
                     static_cast<png_uint_32>(graphic.GetHeight()), depth, colorType, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (colorType == PNG_COLOR_TYPE_PALETTE)
            png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (PNGWriteGamma)
            png_set_gAMA(png, info, static_cast<double>(1 / graphic.GetGamma()));
        png_write_info(png, info);
        png_set_bgr(png);
    });
}

} // namespace

TPNGFileFormatWriter::TPNGFileFormatWriter() : TFileFormatWriter("png", "Portable Network Graphics")
{
    CanWriteResolutions = AllColorResolutions();
}

void TPNGFileFormatWriter::Write(TStream& Stream, TPixelGraphic& Graphic) const
{
    TPNGEncoder encoder(Stream, Graphic.GetReadWarningAction());
    WritePNGHeader(encoder, Graphic);
    png_structp png = encoder.Png();
    const int height = Graphic.GetHeight();
    Graphic.ProgressStart();
    try {
        for (int y = 0; y < height; ++y) {
            png_bytep row = Graphic.GetScanLine(y);
            encoder.Run([&] { png_write_row(png, row); });
            Graphic.Progress(y, height);
        }
    } catch (...) {
        Graphic.ProgressEnd();
        throw;
    }
    Graphic.ProgressEnd();
    encoder.Run([&] { png_write_end(png, encoder.Info()); });
}

} // namespace lumeno
