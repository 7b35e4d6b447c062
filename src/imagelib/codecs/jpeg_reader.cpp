#include "imagelib/codecs/jpeg_reader.h"

#include "imagelib/codecs/jpeg_io.h"
#include "imagelib/memory_budget.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace lumeno {

namespace {

constexpr int msgNotSupportedSubformat = 30;

// A file of more scans than any encoder writes is hostile: every scan, even
// an empty refinement, visits all the blocks of its components again.
constexpr int MaxScans = 500;

struct TScanMonitor {
    jpeg_progress_mgr Pub; // first
    TPixelGraphic* Graphic = nullptr;
    std::int64_t MaxBlockVisits = std::numeric_limits<std::int64_t>::max();
    std::int64_t BlockVisits = 0;
    int ScansCounted = 0;
    bool ReadingScans = false;
    bool Aborted = false;
};

std::int64_t ScanBlocks(const jpeg_decompress_struct& info)
{
    std::int64_t blocks = 0;
    for (int i = 0; i < info.comps_in_scan; ++i)
        blocks +=
            std::int64_t{info.cur_comp_info[i]->width_in_blocks} * info.cur_comp_info[i]->height_in_blocks;
    return blocks;
}

// A file past its scan or block visit limit is refused like one whose data
// ran out.
void CountScan(j_common_ptr common, TScanMonitor& monitor)
{
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number == monitor.ScansCounted)
        return;
    monitor.ScansCounted = info->input_scan_number;
    monitor.BlockVisits += ScanBlocks(*info);
    if (monitor.ScansCounted <= MaxScans && monitor.BlockVisits <= monitor.MaxBlockVisits)
        return;
    TLibraryGuard& guard = JPEGGuard(common);
    guard.KeepError(JPGErrors, GetPGLangStr(msgUnexpectedEnd).c_str());
    guard.Jump();
}

// The handler's own exception may not pass through libjpeg.
void HearAbort(j_common_ptr common, TScanMonitor& monitor)
{
    TLibraryGuard& guard = JPEGGuard(common);
    const int height = static_cast<int>(reinterpret_cast<j_decompress_ptr>(common)->output_height);
    if (!guard.Capture([&] { monitor.Aborted = monitor.Graphic->Progress(0, height); }) || monitor.Aborted)
        guard.Jump();
}

// libjpeg's progress monitor, called before every row of scan data it
// reads. The scans of a file of several are all read before the first row
// is output, so the user's abort is heard meanwhile too.
void CheckScans(j_common_ptr common)
{
    TScanMonitor& monitor = *reinterpret_cast<TScanMonitor*>(common->progress);
    CountScan(common, monitor);
    if (monitor.ReadingScans)
        HearAbort(common, monitor);
}

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

    void WatchScans(TPixelGraphic& graphic)
    {
        monitor_.Graphic = &graphic;
        monitor_.Pub.progress_monitor = CheckScans;
        info_.progress = &monitor_.Pub;
    }

    void LimitBlockVisits(std::int64_t visits) { monitor_.MaxBlockVisits = visits; }

    // Reads the scans of a file of several; false when the user aborted.
    bool Start()
    {
        monitor_.ReadingScans = true;
        const bool started = errors_.Guard.Enter([this] { jpeg_start_decompress(&info_); });
        monitor_.ReadingScans = false;
        if (!started && !monitor_.Aborted)
            errors_.Guard.Raise();
        return started;
    }

private:
    jpeg_decompress_struct info_{};
    TJPEGErrorManager errors_;
    TJPEGStreamSource source_;
    TScanMonitor monitor_{};
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

void SetUpPicture(const jpeg_decompress_struct& info, TPixelGraphic& graphic)
{
    graphic.SetDimensions(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                          info.output_components == 1 ? pf8Bit : pf24Bit);
    if (info.output_components == 1)
        graphic.SetPaletteType(pGray256);
}

// An abort while the scans are read leaves no picture; one while the rows
// are output keeps the rows read.
void Decode(TJPEGDecompressor& decoder, TPixelGraphic& graphic)
{
    jpeg_decompress_struct& info = decoder.Info();
    const int height = static_cast<int>(info.output_height);
    bool aborted = false;
    graphic.ProgressStart();
    try {
        aborted = !decoder.Start();
        if (!aborted)
            SetUpPicture(info, graphic);
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

// Counts the entropy-coded bytes of the scans from the decoder's position
// up to the end-of-image marker, stopping once enough are seen. Marker
// segments between the scans (tables, comments), restart markers and
// anything after the end marker coded no block and are not counted. The
// stream is left where the decoder expects it.
class TScanByteCounter {
public:
    explicit TScanByteCounter(std::int64_t enough) : enough_(enough) {}

    std::int64_t Count(const jpeg_source_mgr& buffered, TStream& stream)
    {
        Walk(buffered.next_input_byte, buffered.bytes_in_buffer);
        const std::int64_t start = stream.GetPosition();
        std::vector<JOCTET> chunk(JPEGStreamBufferSize);
        while (!Done()) {
            const std::int64_t got = stream.Read(chunk.data(), static_cast<std::int64_t>(chunk.size()));
            if (got <= 0)
                break;
            Walk(chunk.data(), static_cast<std::size_t>(got));
        }
        stream.SetPosition(start);
        return counted_;
    }

private:
    enum class TState { Data, Marker, LengthHigh, LengthLow, Segment, End };

    bool Done() const { return counted_ >= enough_ || state_ == TState::End; }

    void Walk(const JOCTET* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count && !Done(); ++i)
            Take(bytes[i]);
    }

    void Take(JOCTET byte)
    {
        switch (state_) {
        case TState::Data:
            if (byte == 0xFF)
                state_ = TState::Marker;
            else if (inScan_)
                ++counted_;
            break;
        case TState::Marker:
            TakeMarker(byte);
            break;
        case TState::LengthHigh:
            remaining_ = byte << 8;
            state_ = TState::LengthLow;
            break;
        case TState::LengthLow:
            remaining_ += byte - 2;
            state_ = remaining_ > 0 ? TState::Segment : TState::Data;
            break;
        case TState::Segment:
            if (--remaining_ == 0)
                state_ = TState::Data;
            break;
        case TState::End:
            break;
        }
    }

    void TakeMarker(JOCTET code)
    {
        if (code == 0xFF) // fill before a marker
            return;
        state_ = TState::Data;
        if (code == 0x00) { // stuffed: the 0xFF before it was data
            counted_ += inScan_ ? 1 : 0;
        } else if (code == JPEG_EOI) {
            state_ = TState::End;
        } else if (code != 0x01 && (code < JPEG_RST0 || code > JPEG_RST0 + 7)) {
            // A segment with a length; a scan header is followed by data.
            inScan_ = code == 0xDA;
            state_ = TState::LengthHigh;
        }
    }

    const std::int64_t enough_;
    std::int64_t counted_ = 0;
    int remaining_ = 0;
    TState state_ = TState::Data;
    bool inScan_ = true;
};

// The shortest Huffman codes still spend two bits on every 8 x 8 block of a
// sequential scan and one on its first progressive scan, so a header
// claiming more blocks than the scan data could code is refused before the
// picture is allocated; the margins are twice and eight times that.
// Arithmetic coding spends next to nothing on a flat picture (a white
// 4000 x 3000 one codes in six bytes), so its data bounds nothing: such a
// picture is let through up to a size whose decode stays within a few
// hundred megabytes, and beyond it needs the data a Huffman picture would.
// Each scan visits the blocks of its components again, so the scans of a
// picture let through so are limited to a number of block visits that takes
// well under a second.
constexpr std::int64_t MaxArithmeticBlocksWithoutData = std::int64_t{1} << 20;
constexpr std::int64_t MaxArithmeticBlockVisitsWithoutData = std::int64_t{2} << 20;

void CheckDataCanFill(TJPEGDecompressor& decoder, TStream& stream)
{
    const jpeg_decompress_struct& info = decoder.Info();
    std::int64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks += std::int64_t{info.comp_info[i].width_in_blocks} * info.comp_info[i].height_in_blocks;
    const std::int64_t blocksPerByte = info.progressive_mode ? 64 : 8;
    const std::int64_t needed = (blocks + blocksPerByte - 1) / blocksPerByte;
    if (TScanByteCounter(needed).Count(*info.src, stream) >= needed)
        return;
    if (!info.arith_code || blocks > MaxArithmeticBlocksWithoutData)
        JPGErrors.RaiseMessage(msgUnexpectedEnd);
    decoder.LimitBlockVisits(MaxArithmeticBlockVisitsWithoutData);
}

// libjpeg keeps every coefficient of a file of several scans (progressive,
// or one scan a component) until the last scan is read: two bytes a sample.
std::int64_t WholeImageCoefficientBytes(const jpeg_decompress_struct& info)
{
    if (!info.progressive_mode && info.comps_in_scan == info.num_components)
        return 0;
    const auto roundUp = [](std::int64_t value, std::int64_t step) {
        return (value + step - 1) / step * step;
    };
    std::int64_t bytes = 0;
    for (int i = 0; i < info.num_components; ++i) {
        const jpeg_component_info& c = info.comp_info[i];
        bytes += roundUp(c.width_in_blocks, c.h_samp_factor) * roundUp(c.height_in_blocks, c.v_samp_factor) *
                 std::int64_t{sizeof(JBLOCK)};
    }
    return bytes;
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
    CheckDataCanFill(decoder, Stream);
    // Drawn on the thread's memory budget like the picture itself.
    const TMemoryReservation coefficients(WholeImageCoefficientBytes(info));
    if (!coefficients.Held())
        JPGErrors.RaiseMessage(msgInvalidSize, "image");
    decoder.WatchScans(Graphic);
    Decode(decoder, Graphic);
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
