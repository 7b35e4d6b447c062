#include "imagelib/codecs/metafile_reader_qt.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_canvas_qt.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/metafile/metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace lumeno {

namespace {

constexpr int DefaultExtentWidth = 100;
constexpr int DefaultExtentHeight = 50;
constexpr int PreviewSize = 130;
constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMFHeaderMinSize = 88;
const char* const InvalidMetafile = "Invalid Metafile";

// Taken on the GUI thread at start-up: readers also run in worker threads.
std::atomic<int> ScreenPixelsPerInch{96};

int PrimaryScreenPixelsPerInch()
{
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return 96;
    return static_cast<int>(std::lround((screen->logicalDotsPerInchX() + screen->logicalDotsPerInchY()) / 2));
}

std::vector<std::uint8_t> ReadRest(TStream& Stream)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, Stream.Remaining())));
    Stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

bool TryLoad(TMetafile& Metafile, std::vector<std::uint8_t> Bytes)
{
    try {
        Metafile.LoadFromBytes(std::move(Bytes));
        return true;
    } catch (const EMetafileError&) {
        return false;
    }
}

// Pixel format and colour texts by the number of palette entries.
struct TPaletteClass {
    std::uint8_t PixelFormat;
    int BitCount;
    const char* Colors;
};

TPaletteClass PaletteClassOf(std::size_t entries)
{
    if (entries >= 1 && entries <= 2)
        return {pf1Bit, 1, "2"};
    if (entries >= 3 && entries <= 16)
        return {pf4Bit, 4, "16"};
    if (entries >= 17 && entries <= 256)
        return {pf8Bit, 8, "256"};
    return {pf24Bit, 24, "16.7M"};
}

// A vector picture has no pixel size of its own to keep: one above this is
// drawn scaled down to it, its aspect kept.
constexpr std::int64_t MaxDrawnPixels = 64'000'000;
// Pixels of the 32-bit band the picture is drawn on, a band of rows at a time.
constexpr std::int64_t BandPixels = 1 << 22;

QSize DrawnSize(int width, int height)
{
    const std::int64_t pixels = std::int64_t{width} * height;
    if (pixels <= MaxDrawnPixels)
        return {width, height};
    const double scale = std::sqrt(static_cast<double>(MaxDrawnPixels) / static_cast<double>(pixels));
    return {std::max(1, static_cast<int>(width * scale)), std::max(1, static_cast<int>(height * scale))};
}

void StoreBand(const QImage& band, int top, TPixelGraphic& graphic)
{
    const int w = graphic.GetWidth();
    const int rows = std::min(band.height(), graphic.GetHeight() - top);
    const bool trueColor = graphic.GetPixelFormat() == pf24Bit;
    QRgb lastColor = 0;
    std::uint32_t lastIndex = graphic.ColorToIndex(RGB(0, 0, 0));
    for (int y = 0; y < rows; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(band.constScanLine(y));
        std::uint8_t* row = graphic.GetScanLine(top + y);
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x] & 0xFFFFFFu;
            if (trueColor) {
                row[x * 3 + 0] = static_cast<std::uint8_t>(qBlue(c));
                row[x * 3 + 1] = static_cast<std::uint8_t>(qGreen(c));
                row[x * 3 + 2] = static_cast<std::uint8_t>(qRed(c));
                continue;
            }
            if (c != lastColor) {
                lastColor = c;
                lastIndex = graphic.ColorToIndex(RGB(qRed(c), qGreen(c), qBlue(c)));
            }
            graphic.SetPixel(x, top + y, lastIndex);
        }
    }
}

// Draws the picture a band of rows at a time, so no full-size 32-bit copy
// sits beside the image's own pixels. False when the user stopped it.
bool DrawInBands(const TMetafile& metafile, TPixelGraphic& graphic)
{
    const int w = graphic.GetWidth(), h = graphic.GetHeight();
    const int bandRows = static_cast<int>(std::clamp<std::int64_t>(BandPixels / w, 1, h));
    const int bands = (h + bandRows - 1) / bandRows;
    QImage band(w, bandRows, QImage::Format_RGB32);
    for (int i = 0; i < bands; ++i) {
        const int top = i * bandRows;
        band.fill(Qt::white);
        bool complete = false;
        try {
            QPainter painter(&band);
            complete = metafile.Play(painter, QRectF(0, -top, w, h), [&](int done, int total) {
                const std::int64_t all = std::int64_t{bands} * total;
                return graphic.Progress(static_cast<int>((std::int64_t{i} * total + done) * 100 / all), 100);
            });
        } catch (const EMetafileError&) {
            StoreBand(band, top, graphic);
            throw;
        }
        StoreBand(band, top, graphic);
        if (!complete)
            return false;
    }
    return true;
}

} // namespace

std::array<std::uint8_t, 22> SynthesizePlaceableHeader(const std::uint8_t* Own)
{
    std::array<std::uint8_t, 22> h{};
    PutU32LE(h.data(), PlaceableKey);
    if (Own)
        std::copy(Own + 6, Own + 16, h.begin() + 6); // box and units per inch
    const auto field = [&](int offset) { return static_cast<std::int16_t>(GetU16LE(h.data() + offset)); };
    const int left = field(6), top = field(8), right = field(10), bottom = field(12);
    if (left >= right || top >= bottom || right == 32767 || bottom == 32767) {
        PutU16LE(h.data() + 6, 0);
        PutU16LE(h.data() + 8, 0);
        PutU16LE(h.data() + 10, static_cast<std::uint16_t>(std::clamp(DefaultExtentWidth, 3, 32767) - 1));
        PutU16LE(h.data() + 12, static_cast<std::uint16_t>(std::clamp(DefaultExtentHeight, 3, 32767) - 1));
    }
    if (field(14) < 1)
        PutU16LE(h.data() + 14, static_cast<std::uint16_t>(ScreenPixelsPerInch.load()));
    PutU16LE(h.data() + 20, PlaceableChecksum(h.data()));
    return h;
}

tWMFFileFormatReader::tWMFFileFormatReader() : tWMFFileFormatReader("wmf", "Windows Metafile", false) {}

tWMFFileFormatReader::tWMFFileFormatReader(std::string extension, std::string description, bool enhanced)
    : TFileFormatReader(std::move(extension), std::move(description)), Enhanced(enhanced)
{
}

tEMFFileFormatReader::tEMFFileFormatReader() : tWMFFileFormatReader("emf", "Enhanced Metafile", true) {}

bool tWMFFileFormatReader::CanRead(TFileHeader Header) const
{
    const std::uint8_t* h = Header.data();
    if (Enhanced)
        // The signature and the record's end lie beyond the probed bytes;
        // loading checks them.
        return GetU32LE(h) == EMR_HEADER && GetU32LE(h + 4) >= EMFHeaderMinSize;
    if (GetU32LE(h) == PlaceableKey)
        return true;
    const std::uint16_t type = GetU16LE(h);
    return (type == 1 || type == 2) && GetU16LE(h + 2) == 9 && GetU16LE(h + 4) != 0 && GetU32LE(h + 6) > 18 &&
           GetU16LE(h + 10) > 0;
}

bool tWMFFileFormatReader::LoadMetafile(TStream& Stream, TMetafile& Metafile, bool& Placeable) const
{
    Placeable = false;
    if (Enhanced)
        return TryLoad(Metafile, ReadRest(Stream));
    std::vector<std::uint8_t> bytes = ReadRest(Stream);
    if (bytes.size() < PlaceableHeaderSize)
        return false;
    if (GetU32LE(bytes.data()) != PlaceableKey) {
        const auto header = SynthesizePlaceableHeader(nullptr);
        bytes.insert(bytes.begin(), header.begin(), header.end());
        return TryLoad(Metafile, std::move(bytes));
    }
    if (TryLoad(Metafile, bytes)) {
        Placeable = true;
        return true;
    }
    const auto header = SynthesizePlaceableHeader(bytes.data());
    std::copy(header.begin(), header.end(), bytes.begin());
    return TryLoad(Metafile, std::move(bytes));
}

void tWMFFileFormatReader::Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const
{
    if (Index != 0)
        throw EPixelGraphic(GetPGLangStrS1(msgInvalid, "Index"));
    Graphic.ProgressStart();
    TMetafile metafile;
    bool placeable;
    if (!LoadMetafile(Stream, metafile, placeable))
        throw EPixelGraphic(InvalidMetafile);

    int width = metafile.GetWidth(), height = metafile.GetHeight();
    if (Graphic.GetPreviewLoad() && std::max(width, height) > PreviewSize) {
        const double scale = static_cast<double>(PreviewSize) / std::max(width, height);
        width = std::max(1, static_cast<int>(std::lround(width * scale)));
        height = std::max(1, static_cast<int>(std::lround(height * scale)));
    }
    const QSize size = DrawnSize(width, height);
    const std::vector<TColor>& palette = metafile.GetPalette();
    const TPaletteClass paletteClass = PaletteClassOf(palette.size());
    Graphic.SetDimensions(size.width(), size.height(), paletteClass.PixelFormat);
    if (paletteClass.PixelFormat != pf24Bit) {
        Graphic.SetPaletteSize(static_cast<int>(palette.size()));
        for (std::size_t i = 0; i < palette.size(); ++i)
            Graphic.SetPaletteEntry(static_cast<int>(i), palette[i] & 0xFFFFFF);
    }
    // What the picture leaves undrawn shows the fill colour.
    Graphic.SetFillColor(clWhite);
    Graphic.Clear();
    try {
        DrawInBands(metafile, Graphic);
    } catch (const EMetafileError&) {
        Graphic.ProgressEnd();
        throw EPixelGraphic(InvalidMetafile);
    }
    Graphic.ProgressEnd();
}

void tWMFFileFormatReader::GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks,
                                   int& Width, int& Height, std::string& Colors, int& BitCount,
                                   int& ImageCount) const
{
    TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                               ImageCount);
    if (Index != 0)
        throw EPixelGraphic(GetPGLangStrS1(msgInvalidValue, "Index"));
    TMetafile metafile;
    bool placeable;
    if (!LoadMetafile(Stream, metafile, placeable))
        throw EPixelGraphic(InvalidMetafile);
    const TPaletteClass paletteClass = PaletteClassOf(metafile.GetPalette().size());
    Colors = paletteClass.Colors;
    BitCount = paletteClass.BitCount;
    if (!Enhanced)
        SubFormat = placeable ? "Placeable, Aldus header" : "No header";
    Width = metafile.GetWidth();
    Height = metafile.GetHeight();
    const QSize drawn = DrawnSize(Width, Height);
    if (drawn != QSize(Width, Height))
        Remarks = "Drawn at " + std::to_string(drawn.width()) + " x " + std::to_string(drawn.height()) + " pixels";
    ImageCount = 1;
}

void PGMetaStartup()
{
    ScreenPixelsPerInch = PrimaryScreenPixelsPerInch();
    FileFormatRegistry().AddReader(std::make_unique<tWMFFileFormatReader>());
    FileFormatRegistry().AddReader(std::make_unique<tEMFFileFormatReader>());
}

} // namespace lumeno
