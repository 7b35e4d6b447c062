#pragma once
// Device-independent bitmaps inside metafile records, decoded to images.

#include "platform/qt/metafile/metafile_bytes.h"

#include <QImage>
#include <QRgb>

#include <QList>

namespace lumeno {

// Colour tables of 16-bit indices into the selected palette instead of
// RGB entries.
constexpr std::uint32_t DIB_PAL_COLORS = 1;

// Decodes the information header with its colour table (info) and the pixel
// bits; palette serves DIB_PAL_COLORS tables. A null image when the bitmap
// cannot be decoded.
QImage DecodeMetafileDIB(TMetafileBytes info, TMetafileBytes bits, std::uint32_t usage,
                         const QList<QRgb>& palette);
// The same for a packed DIB: header, colour table and bits in one block.
QImage DecodePackedDIB(TMetafileBytes dib, std::uint32_t usage, const QList<QRgb>& palette);

} // namespace lumeno
