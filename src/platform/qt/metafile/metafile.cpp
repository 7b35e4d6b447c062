#include "platform/qt/metafile/metafile.h"

#include "platform/qt/metafile/emf_player.h"
#include "platform/qt/metafile/wmf_player.h"
#include "platform/stream.h"

#include <cmath>

namespace lumeno {

namespace {

constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t EMFSignature = 0x464D4520; // " EMF"
constexpr std::size_t EMFHeaderMinSize = 88;
constexpr std::size_t WMFHeaderSize = 18;
constexpr std::uint16_t META_SETWINDOWORG = 0x020B;
constexpr std::uint16_t META_SETWINDOWEXT = 0x020C;
constexpr std::uint16_t META_CREATEPALETTE = 0x00F7;
// Larger pictures are refused before anything is sized from them.
constexpr std::int64_t MaxPictureSide = 1 << 20;

[[noreturn]] void Invalid(const char* why)
{
    throw EMetafileError(std::string("Invalid metafile: ") + why);
}

int PixelsOf(std::int64_t units, std::int64_t unitsPerInch)
{
    const std::int64_t pixels =
        std::llround(static_cast<double>(units) * 96 / static_cast<double>(unitsPerInch));
    if (pixels <= 0 || pixels > MaxPictureSide)
        Invalid("picture size");
    return static_cast<int>(pixels);
}

} // namespace

std::uint16_t PlaceableChecksum(const std::uint8_t* Header)
{
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= static_cast<std::uint16_t>(Header[2 * i] | Header[2 * i + 1] << 8);
    return sum;
}

void TMetafile::LoadFromBytes(std::vector<std::uint8_t> Bytes)
{
    TMetafile loaded;
    loaded.data_ = std::move(Bytes);
    loaded.Parse();
    *this = std::move(loaded);
}

void TMetafile::LoadFromStream(TStream& Stream)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, Stream.Remaining())));
    Stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    LoadFromBytes(std::move(bytes));
}

void TMetafile::Parse()
{
    const TMetafileBytes bytes = Bytes();
    if (bytes.Size() >= EMFHeaderMinSize && bytes.U32(0) == EMR_HEADER && bytes.U32(40) == EMFSignature) {
        ParseEMF();
        return;
    }
    if (bytes.Holds(0, 4) && bytes.U32(0) == PlaceableKey) {
        if (!bytes.Holds(0, PlaceableHeaderSize) || PlaceableChecksum(bytes.Data()) != bytes.U16(20))
            Invalid("placeable header checksum");
        bounds_ = Rect(bytes.I16(6), bytes.I16(8), bytes.I16(10), bytes.I16(12));
        inch_ = bytes.U16(14);
        if (inch_ < 1)
            Invalid("units per inch");
        if (bounds_.Width() <= 0 || bounds_.Height() <= 0)
            Invalid("bounding box");
        ParseWMF(PlaceableHeaderSize);
    } else {
        ParseWMF(0);
        if (inch_ == 0)
            Invalid("no window extent");
    }
    width_ = PixelsOf(bounds_.Width(), inch_);
    height_ = PixelsOf(bounds_.Height(), inch_);
    deviceUnitsPerMM_ = QSizeF(inch_ / 25.4, inch_ / 25.4);
}

void TMetafile::ParseWMF(std::size_t start)
{
    const TMetafileBytes bytes = Bytes();
    if (!bytes.Holds(start, WMFHeaderSize))
        Invalid("header too short");
    const std::uint16_t type = bytes.U16(start);
    if ((type != 1 && type != 2) || bytes.U16(start + 2) != 9)
        Invalid("header");
    objectCount_ = bytes.U16(start + 10);
    const bool placeable = start > 0;
    std::size_t at = start + WMFHeaderSize;
    while (at < bytes.Size()) {
        const std::uint64_t size = std::uint64_t{bytes.U32(at)} * 2;
        if (size < 6 || !bytes.Holds(at, size))
            Invalid("record size");
        const TMetafileBytes record = bytes.Sub(at, size);
        const std::uint16_t function = record.U16(4);
        if (function == 0)
            break;
        // Without a placeable header the first window gives the picture's box,
        // one unit a pixel.
        if (!placeable && function == META_SETWINDOWORG && size >= 10 && inch_ == 0)
            bounds_ = Bounds(record.I16(8), record.I16(6), bounds_.Width(), bounds_.Height());
        if (!placeable && function == META_SETWINDOWEXT && size >= 10 && inch_ == 0) {
            bounds_ = Bounds(bounds_.Left, bounds_.Top, std::abs(record.I16(8)), std::abs(record.I16(6)));
            inch_ = 96;
        }
        if (function == META_CREATEPALETTE && palette_.empty())
            ReadWMFPalette(record);
        records_.push_back({at, static_cast<std::size_t>(size)});
        at += size;
    }
}

void TMetafile::ReadWMFPalette(TMetafileBytes record)
{
    const std::size_t count = record.U16(8);
    const std::uint8_t* entries = record.Ptr(10, count * 4);
    for (std::size_t i = 0; i < count; ++i)
        palette_.push_back(RGB(entries[4 * i], entries[4 * i + 1], entries[4 * i + 2]));
}

void TMetafile::ParseEMF()
{
    const TMetafileBytes bytes = Bytes();
    enhanced_ = true;
    bounds_ = Rect(bytes.I32(24), bytes.I32(28), bytes.I32(32), bytes.I32(36));
    inch_ = 2540;
    objectCount_ = bytes.U16(56);
    const double deviceX = bytes.I32(72), deviceY = bytes.I32(76);
    const double mmX = bytes.I32(80), mmY = bytes.I32(84);
    deviceUnitsPerMM_ = deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0
                            ? QSizeF(deviceX / mmX, deviceY / mmY)
                            : QSizeF(96 / 25.4, 96 / 25.4);
    width_ = PixelsOf(std::int64_t{bounds_.Right} - bounds_.Left, 2540);
    height_ = PixelsOf(std::int64_t{bounds_.Bottom} - bounds_.Top, 2540);
    std::size_t at = 0;
    while (at < bytes.Size()) {
        if (!bytes.Holds(at, 8))
            Invalid("record size");
        const std::uint32_t type = bytes.U32(at);
        const std::uint32_t size = bytes.U32(at + 4);
        if (size < 8 || size % 4 != 0 || !bytes.Holds(at, size))
            Invalid("record size");
        if (at == 0 && (type != EMR_HEADER || size < EMFHeaderMinSize))
            Invalid("header");
        records_.push_back({at, size});
        at += size;
        if (type != EMR_EOF)
            continue;
        const TMetafileBytes record = bytes.Sub(records_.back().Offset, size);
        const std::size_t count = record.U32(8);
        const std::uint8_t* entries = count ? record.Ptr(record.U32(12), count * 4) : nullptr;
        for (std::size_t i = 0; i < count; ++i)
            palette_.push_back(RGB(entries[4 * i], entries[4 * i + 1], entries[4 * i + 2]));
        break;
    }
}

QTransform TMetafile::ToPainter(const QRectF& dest) const
{
    const double sx = dest.width() / bounds_.Width(), sy = dest.height() / bounds_.Height();
    if (!enhanced_)
        return {sx, 0, 0, sy, dest.x() - bounds_.Left * sx, dest.y() - bounds_.Top * sy};
    // Device units to hundredths of a millimetre, then the frame onto Dest.
    const double kx = 100 / deviceUnitsPerMM_.width(), ky = 100 / deviceUnitsPerMM_.height();
    return {kx * sx, 0, 0, ky * sy, dest.x() - bounds_.Left * sx, dest.y() - bounds_.Top * sy};
}

bool TMetafile::Play(QPainter& Painter, const QRectF& Dest, const TMetafileProgress& Progress) const
{
    if (GetEmpty())
        return true;
    TMetafileDC dc(Painter, ToPainter(Dest), deviceUnitsPerMM_);
    if (!enhanced_) {
        // The picture's window starts as its box, mapped onto the whole of Dest.
        TDCState& s = dc.State();
        s.MapMode = MM_ANISOTROPIC;
        s.WindowOrg = s.ViewportOrg = QPointF(bounds_.Left, bounds_.Top);
        s.WindowExt = s.ViewportExt = QSizeF(bounds_.Width(), bounds_.Height());
    }
    TWMFPlayer wmf(dc, objectCount_);
    TEMFPlayer emf(dc, objectCount_);
    const int total = GetRecordCount();
    int reported = 0;
    for (int i = 0; i < total; ++i) {
        const TSpan& span = records_[static_cast<std::size_t>(i)];
        const TMetafileBytes record = Bytes().Sub(span.Offset, span.Size);
        if (enhanced_)
            emf.Play(record);
        else
            wmf.Play(record);
        if (Progress && (i + 1) * 100LL / total > reported) {
            reported = static_cast<int>((i + 1) * 100LL / total);
            if (Progress(i + 1, total))
                return false;
        }
    }
    return true;
}

} // namespace lumeno
