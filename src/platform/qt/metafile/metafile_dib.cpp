#include "platform/qt/metafile/metafile_dib.h"

#include <QByteArray>

namespace lumeno {

namespace {

constexpr std::uint32_t BI_BITFIELDS = 3;

struct TDIBLayout {
    std::size_t HeaderSize = 0; // header plus bit-field masks
    std::uint64_t Entries = 0;
    std::size_t EntrySize = 4;
};

TDIBLayout LayoutOf(TMetafileBytes dib, std::uint32_t usage)
{
    TDIBLayout layout;
    const std::uint32_t size = dib.U32(0);
    if (size == 12) {
        const int bitCount = dib.U16(10);
        layout.HeaderSize = 12;
        layout.Entries = bitCount <= 8 ? 1u << bitCount : 0;
        layout.EntrySize = 3;
    } else {
        if (size < 40)
            throw EMetafileError("Invalid bitmap header");
        const int bitCount = dib.U16(14);
        const std::uint32_t used = dib.U32(32);
        layout.HeaderSize = size + (size == 40 && dib.U32(16) == BI_BITFIELDS ? 12 : 0);
        layout.Entries = used ? used : (bitCount <= 8 ? 1u << bitCount : 0);
    }
    if (usage == DIB_PAL_COLORS)
        layout.EntrySize = 2;
    return layout;
}

// A DIB_PAL_COLORS table rewritten as RGB entries.
QByteArray WithRGBTable(TMetafileBytes info, const TDIBLayout& layout, const QList<QRgb>& palette)
{
    QByteArray out(reinterpret_cast<const char*>(info.Data()), static_cast<qsizetype>(layout.HeaderSize));
    const std::size_t rgbSize = layout.HeaderSize == 12 ? 3 : 4;
    for (std::uint64_t i = 0; i < layout.Entries; ++i) {
        const std::uint16_t index = info.U16(layout.HeaderSize + i * 2);
        const QRgb c = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
        const char entry[4] = {static_cast<char>(qBlue(c)), static_cast<char>(qGreen(c)),
                               static_cast<char>(qRed(c)), 0};
        out.append(entry, static_cast<qsizetype>(rgbSize));
    }
    return out;
}

void PutU32(QByteArray& bytes, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes.append(static_cast<char>(v >> (8 * i) & 0xFF));
}

// False when uncompressed bits are too few for the rows the header claims:
// a few bytes must not become a picture of hundreds of megabytes. The last
// row's padding may be missing.
bool BitsFillRows(TMetafileBytes info, TMetafileBytes bits)
{
    const bool core = info.U32(0) == 12;
    const std::int64_t width = core ? info.U16(4) : info.I32(4);
    const std::int64_t height = core ? info.U16(6) : info.I32(8);
    const std::uint32_t bitCount = core ? info.U16(10) : info.U16(14);
    const std::uint32_t compression = core ? 0 : info.U32(16);
    if (compression != 0 && compression != BI_BITFIELDS)
        return true;
    if (width <= 0 || height == 0)
        return true; // Qt refuses these itself
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * bitCount;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    if (stride == 0)
        return true; // no pixel bits: Qt refuses it
    const std::uint64_t lastRow = (rowBits + 7) / 8;
    return bits.Size() >= lastRow && (bits.Size() - lastRow) / stride >= rows - 1;
}

} // namespace

QImage DecodeMetafileDIB(TMetafileBytes info, TMetafileBytes bits, std::uint32_t usage,
                         const QList<QRgb>& palette)
{
    const TDIBLayout layout = LayoutOf(info, usage);
    if (layout.Entries > 65536 || !info.Holds(layout.HeaderSize, layout.Entries * layout.EntrySize))
        throw EMetafileError("Invalid bitmap colour table");
    if (!BitsFillRows(info, bits))
        return {};
    const QByteArray header =
        usage == DIB_PAL_COLORS
            ? WithRGBTable(info, layout, palette)
            : QByteArray(reinterpret_cast<const char*>(info.Data()),
                         static_cast<qsizetype>(layout.HeaderSize + layout.Entries * layout.EntrySize));
    // Qt reads whole BMP files: put the file header in front.
    QByteArray file("BM");
    const std::uint64_t total = 14 + static_cast<std::uint64_t>(header.size()) + bits.Size();
    if (total > 0xFFFFFFFFu)
        throw EMetafileError("Bitmap too large");
    PutU32(file, static_cast<std::uint32_t>(total));
    PutU32(file, 0);
    PutU32(file, static_cast<std::uint32_t>(14 + header.size()));
    file.append(header);
    file.append(reinterpret_cast<const char*>(bits.Data()), static_cast<qsizetype>(bits.Size()));
    QImage image = QImage::fromData(file, "BMP");
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QImage DecodePackedDIB(TMetafileBytes dib, std::uint32_t usage, const QList<QRgb>& palette)
{
    const TDIBLayout layout = LayoutOf(dib, usage);
    const std::uint64_t infoSize = layout.HeaderSize + layout.Entries * layout.EntrySize;
    if (layout.Entries > 65536 || !dib.Holds(0, infoSize))
        throw EMetafileError("Invalid bitmap colour table");
    return DecodeMetafileDIB(dib.Sub(0, infoSize), dib.Sub(infoSize, dib.Size() - infoSize), usage, palette);
}

} // namespace lumeno
