#include "imagelib/codecs/jpeg_reader.h"

#include "imagelib/codecs/jpeg_io.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

namespace lumeno {

namespace {

constexpr int msgNotSupportedSubformat = 30;

// A libjpeg decompressor over a stream, destroyed with the object whatever
// state a failure left it in.
class TJPEGDecompressor {
public:
    TJPEGDecompressor(TStream& stream, TPGWarningAction warningAction)
    {
        SetupJPEGErrorManager(*reinterpret_cast<j_common_ptr>(&info_), errors_, warningAction);
        Run([this] { jpeg_create_decompress(&info_); });
        created_ = true;
        // libjpeg's own working memory (whole-image buffers of progressive
        // files) stays below the image size cap as well.
        info_.mem->max_memory_to_use = static_cast<long>(MaxImageSize);
        AttachJPEGSource(info_, source_, stream);
    }
    ~TJPEGDecompressor()
    {
        if (created_)
            jpeg_destroy_decompress(&info_);
    }
    TJPEGDecompressor(const TJPEGDecompressor&) = delete;
    TJPEGDecompressor& operator=(const TJPEGDecompressor&) = delete;

    jpeg_decompress_struct& Info() { return info_; }

    template <class F> void Run(const F& call) { errors_.Guard.Run(call); }

    void ReadHeader()
    {
        Run([this] { jpeg_read_header(&info_, TRUE); });
    }

private:
    jpeg_decompress_struct info_{};
    TJPEGErrorManager errors_;
    TJPEGStreamSource source_;
    bool created_ = false;
};

void SetOutputParameters(jpeg_decompress_struct& info, bool preview)
{
    info.scale_num = 1;
    info.scale_denom = 1;
    info.dct_method = preview ? JDCT_IFAST : static_cast<J_DCT_METHOD>(JPEGReadDCTMethod);
    info.quantize_colors = FALSE;
    info.dither_mode = JDITHER_NONE;
    info.two_pass_quantize = FALSE;
    // The image keeps its pixels blue, green, red: libjpeg writes them so.
    if (info.out_color_space == JCS_RGB)
        info.out_color_space = JCS_EXT_BGR;
}

// The smallest scale N/8 whose output still covers MinWidth x MinHeight;
// a request of 0 x 0 keeps the full size.
void ChooseScale(TJPEGDecompressor& decoder, int minWidth, int minHeight)
{
    jpeg_decompress_struct& info = decoder.Info();
    if (minWidth <= 0 && minHeight <= 0)
        return;
    for (unsigned n = 1; n <= 8; ++n) {
        info.scale_num = n;
        info.scale_denom = 8;
        decoder.Run([&] { jpeg_calc_output_dimensions(&info); });
        if (info.output_width >= static_cast<JDIMENSION>(minWidth) &&
            info.output_height >= static_cast<JDIMENSION>(minHeight))
            return;
    }
}

void DecodeRows(TJPEGDecompressor& decoder, TPixelGraphic& graphic)
{
    jpeg_decompress_struct& info = decoder.Info();
    const int height = static_cast<int>(info.output_height);
    bool aborted = false;
    graphic.ProgressStart();
    try {
        while (static_cast<int>(info.output_scanline) < height && !aborted) {
            JSAMPROW row = graphic.GetScanLine(static_cast<int>(info.output_scanline));
            decoder.Run([&] { jpeg_read_scanlines(&info, &row, 1); });
            aborted = graphic.Progress(static_cast<int>(info.output_scanline) - 1, height);
        }
    } catch (...) {
        graphic.ProgressEnd();
        throw;
    }
    graphic.ProgressEnd();
    // Finishing an unfinished image would complain of too few scan lines.
    if (aborted)
        jpeg_abort_decompress(&info);
    else
        decoder.Run([&] { jpeg_finish_decompress(&info); });
}

// The shortest Huffman codes still spend two bits on every 8 x 8 block of a
// sequential scan and one on its first progressive scan, so a header
// claiming more blocks than the data could code is refused before the
// picture is allocated; the margins are twice and eight times that.
// Arithmetic coding spends next to nothing on a flat picture and has no
// such floor.
void CheckDataCanFill(const jpeg_decompress_struct& info, TStream& stream)
{
    if (info.arith_code)
        return;
    std::int64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks += std::int64_t{info.comp_info[i].width_in_blocks} * info.comp_info[i].height_in_blocks;
    const std::int64_t blocksPerByte = info.progressive_mode ? 64 : 8;
    const std::int64_t data = stream.Remaining() + static_cast<std::int64_t>(info.src->bytes_in_buffer);
    if (blocks > data * blocksPerByte)
        JPGErrors.RaiseMessage(msgUnexpectedEnd);
}

const char* ColorSpaceText(J_COLOR_SPACE space)
{
    switch (space) {
    case JCS_GRAYSCALE:
        return "GrayScale";
    case JCS_RGB:
        return "RGB";
    case JCS_YCbCr:
        return "YCbCr";
    case JCS_CMYK:
        return "CMYK";
    case JCS_YCCK:
        return "YCbCrK";
    default:
        return "unknown";
    }
}

const char* ColorsText(int components)
{
    static const char* const texts[] = {"256", "64K", "16.7M", "4294.9M"};
    return components >= 1 && components <= 4 ? texts[components - 1] : "?";
}

} // namespace

TJPGFileFormatReader::TJPGFileFormatReader() : TFileFormatReader("jpg", "JPEG (JFIF compliant)") {}

bool TJPGFileFormatReader::CanRead(TFileHeader Header) const
{
    return Header[0] == 0xFF && Header[1] == 0xD8;
}

void TJPGFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        JPGErrors.RaiseMessage(msgInvalid, "Index");
    Graphic.SetGamma(DefaultGamma);
    TJPEGDecompressor decoder(Stream, Graphic.GetReadWarningAction());
    jpeg_decompress_struct& info = decoder.Info();
    decoder.ReadHeader();
    SetOutputParameters(info, Graphic.GetPreviewLoad());
    ChooseScale(decoder, Graphic.GetLoadMinWidth(), Graphic.GetLoadMinHeight());
    decoder.Run([&] { jpeg_calc_output_dimensions(&info); });
    if (info.output_components != 1 && info.output_components != 3)
        JPGErrors.RaiseMessage(msgNotSupportedSubformat);
    CheckImageSize(JPGErrors, info.output_width, info.output_height, info.output_components * 8);
    CheckDataCanFill(info, Stream);
    decoder.Run([&] { jpeg_start_decompress(&info); });
    Graphic.SetDimensions(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                          info.output_components == 1 ? pf8Bit : pf24Bit);
    if (info.output_components == 1)
        Graphic.SetPaletteType(pGray256);
    DecodeRows(decoder, Graphic);
}

void TJPGFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    if (Index != 0)
        JPGErrors.RaiseMessage(msgInvalidValue, "Index");
    TJPEGDecompressor decoder(Stream, pgwaRaise);
    decoder.ReadHeader();
    const jpeg_decompress_struct& info = decoder.Info();
    Width = static_cast<int>(info.image_width);
    Height = static_cast<int>(info.image_height);
    BitCount = info.num_components * 8;
    Colors = ColorsText(info.num_components);
    SubFormat.clear();
    if (info.saw_JFIF_marker)
        SubFormat += "JFIF, ";
    if (info.saw_Adobe_marker)
        SubFormat += "Adope, ";
    SubFormat += ColorSpaceText(info.jpeg_color_space);
    if (info.progressive_mode)
        SubFormat += ", Progressive";
}

} // namespace lumeno
