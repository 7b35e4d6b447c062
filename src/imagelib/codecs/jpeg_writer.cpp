#include "imagelib/codecs/jpeg_writer.h"

#include "imagelib/codecs/jpeg_io.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

namespace lumeno {

namespace {

constexpr int ResGray256 = 5;
constexpr int ResTrueColor = 7;

// A libjpeg compressor over a stream, destroyed with the object.
class TJPEGCompressor {
public:
    TJPEGCompressor(TStream& stream, TPGWarningAction warningAction)
    {
        SetupJPEGErrorManager(*reinterpret_cast<j_common_ptr>(&info_), errors_, warningAction);
        Run([this] { jpeg_create_compress(&info_); });
        created_ = true;
        AttachJPEGDestination(info_, destination_, stream);
    }
    ~TJPEGCompressor()
    {
        if (created_)
            jpeg_destroy_compress(&info_);
    }
    TJPEGCompressor(const TJPEGCompressor&) = delete;
    TJPEGCompressor& operator=(const TJPEGCompressor&) = delete;

    jpeg_compress_struct& Info() { return info_; }

    template <class F> void Run(const F& call) { errors_.Guard.Run(call); }

private:
    jpeg_compress_struct info_{};
    TJPEGErrorManager errors_;
    TJPEGStreamDestination destination_;
    bool created_ = false;
};

void SetParameters(TJPEGCompressor& encoder, const TPixelGraphic& graphic)
{
    jpeg_compress_struct& info = encoder.Info();
    info.image_width = static_cast<JDIMENSION>(graphic.GetWidth());
    info.image_height = static_cast<JDIMENSION>(graphic.GetHeight());
    const bool gray = graphic.GetPixelFormat() == pf8Bit;
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
    encoder.Run([&] {
        jpeg_set_defaults(&info);
        if (JPEGProgressive)
            jpeg_simple_progression(&info);
        jpeg_set_quality(&info, JPEGQuality, TRUE);
    });
    info.dct_method = static_cast<J_DCT_METHOD>(JPEGWriteDCTMethod);
}

} // namespace

TJPGFileFormatWriter::TJPGFileFormatWriter() : TFileFormatWriter("jpg", "JPEG (JFIF compliant)")
{
    CanWriteResolutions.set(ResGray256).set(ResTrueColor);
}

void TJPGFileFormatWriter::Write(TStream& Stream, TPixelGraphic& Graphic) const
{
    const bool gray = Graphic.GetPixelFormat() == pf8Bit && Graphic.GetPaletteType() == pGray256;
    if (Graphic.GetPixelFormat() != pf24Bit && !gray)
        JPGErrors.RaiseMessage(msgInvalidValue, "BitCount");
    TJPEGCompressor encoder(Stream, Graphic.GetReadWarningAction());
    SetParameters(encoder, Graphic);
    jpeg_compress_struct& info = encoder.Info();
    encoder.Run([&] { jpeg_start_compress(&info, TRUE); });
    const int height = Graphic.GetHeight();
    Graphic.ProgressStart();
    try {
        while (static_cast<int>(info.next_scanline) < height) {
            JSAMPROW row = Graphic.GetScanLine(static_cast<int>(info.next_scanline));
            encoder.Run([&] { jpeg_write_scanlines(&info, &row, 1); });
            Graphic.Progress(static_cast<int>(info.next_scanline) - 1, height);
        }
    } catch (...) {
        Graphic.ProgressEnd();
        throw;
    }
    Graphic.ProgressEnd();
    encoder.Run([&] { jpeg_finish_compress(&info); });
}

} // namespace lumeno
