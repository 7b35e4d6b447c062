// The acquired DIB: its palette size, its pixels and its BMP file.

#include "imagelib/twain/pg_twain.h"

#include "platform/stream.h"

#include <QFileDialog>

#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>

namespace lumeno {

namespace {

constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p)
{
    return U16(p) | static_cast<std::uint32_t>(U16(p + 2)) << 16;
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Where a DIB's parts lie, checked against the block that holds it.
struct TDibLayout {
    std::uint64_t BitsOffset = 0; // header, colour table and masks
    std::uint64_t ImageSize = 0;
};

// Colour-table entries as the file's reader will count them.
std::uint64_t TableEntries(const std::uint8_t* p, std::uint32_t headerSize, int bitCount)
{
    const std::uint32_t used = headerSize >= InfoHeaderSize ? U32(p + 32) : 0;
    if (used != 0)
        return used;
    return bitCount <= 8 ? std::uint64_t{1} << bitCount : 0;
}

bool Layout(std::uint8_t* p, std::size_t size, TDibLayout& layout)
{
    if (size < 4)
        return false;
    const std::uint32_t headerSize = U32(p);
    if (headerSize > size || (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize))
        return false;
    const bool core = headerSize == CoreHeaderSize;
    const std::int64_t width = core ? U16(p + 4) : static_cast<std::int32_t>(U32(p + 4));
    const std::int64_t rawHeight = core ? U16(p + 6) : static_cast<std::int32_t>(U32(p + 8));
    const int bitCount = U16(p + (core ? 10 : 14));
    const std::uint32_t compression = core ? BI_RGB : U32(p + 16);
    if (width <= 0 || bitCount == 0 || bitCount > 32)
        return false;
    const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight; // top-down rows
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        layout.ImageSize = static_cast<std::uint64_t>((width * bitCount + 31) / 32 * 4 * height);
        if (layout.ImageSize > 0xFFFFFFFFu)
            return false;
        if (!core)
            Put32(p + 20, static_cast<std::uint32_t>(layout.ImageSize));
    } else {
        layout.ImageSize = U32(p + 20);
        if (layout.ImageSize == 0)
            return false;
    }
    const std::uint64_t masks = compression == BI_BITFIELDS && headerSize == InfoHeaderSize ? 12 : 0;
    layout.BitsOffset = headerSize + TableEntries(p, headerSize, bitCount) * (core ? 3 : 4) + masks;
    // Never read past the block.
    return layout.BitsOffset + layout.ImageSize <= size;
}

std::string AskFileName()
{
    QFileDialog dialog(nullptr, QFileDialog::tr("Save As"));
    dialog.setObjectName(QStringLiteral("TwainSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Windows Bitmap (*.bmp)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    std::string name = dialog.selectedFiles().front().toStdString();
    if (std::filesystem::path(name).extension().empty())
        name += ".bmp";
    return name;
}

bool WriteBmp(TSafeFileStream& file, const std::uint8_t* dib, const TDibLayout& layout)
{
    const std::uint64_t fileSize = 14 + layout.BitsOffset + layout.ImageSize;
    if (fileSize > 0xFFFFFFFFu)
        return false;
    std::uint8_t header[14] = {'B', 'M'};
    Put32(header + 2, static_cast<std::uint32_t>(fileSize));
    Put32(header + 10, static_cast<std::uint32_t>(14 + layout.BitsOffset));
    try {
        file.WriteBuffer(header, sizeof(header));
        file.WriteBuffer(dib, static_cast<std::int64_t>(fileSize - 14));
        file.Commit();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

} // namespace

int TPGTwain::TWAIN_SaveDibToFile(HGLOBAL Dib, const std::string& FileName)
{
    const std::string name = FileName.empty() ? AskFileName() : FileName;
    if (name.empty())
        return -1;
    // Written beside the target and renamed when complete: a failure keeps
    // the old file.
    std::unique_ptr<TSafeFileStream> file;
    try {
        file = std::make_unique<TSafeFileStream>(name);
    } catch (const std::exception&) {
        return -2;
    }
    auto* p = static_cast<std::uint8_t*>(GlobalLock(Dib));
    if (!p)
        return -3;
    TDibLayout layout;
    int result = -3;
    if (Layout(p, GlobalSize(Dib), layout))
        result = WriteBmp(*file, p, layout) ? 0 : -4;
    GlobalUnlock(Dib);
    return result;
}

int TPGTwain::TWAIN_DibNumColors(const void* Dib)
{
    const auto* p = static_cast<const std::uint8_t*>(Dib);
    const std::uint32_t headerSize = U32(p);
    const int bitCount = U16(p + (headerSize == CoreHeaderSize ? 10 : 14));
    std::uint64_t colours = bitCount < 16 ? std::uint64_t{1} << bitCount : 0;
    if (headerSize != CoreHeaderSize && U32(p + 32) != 0)
        colours = U32(p + 32);
    return colours > 256 ? 0 : static_cast<int>(colours);
}

const std::uint8_t* TPGTwain::TWAIN_DibBits(const void* Dib)
{
    const auto* p = static_cast<const std::uint8_t*>(Dib);
    const std::uint32_t headerSize = U32(p);
    const bool core = headerSize == CoreHeaderSize;
    const bool masks = !core && headerSize == InfoHeaderSize && U32(p + 16) == BI_BITFIELDS;
    return p + headerSize + TWAIN_DibNumColors(Dib) * (core ? 3 : 4) + (masks ? 12 : 0);
}

} // namespace lumeno
