#pragma once
// A Windows metafile (WMF, with or without its placeable header) or an
// enhanced metafile (EMF) held in memory: its size, palette and header
// facts, and playing it onto a QPainter. Loading checks the record
// structure; playing checks every record's parameters, so a damaged file
// raises EMetafileError instead of reading outside its data.

#include "platform/qt/metafile/metafile_bytes.h"
#include "platform/types.h"

#include <QPainter>
#include <QRectF>

#include <cstdint>
#include <functional>
#include <vector>

namespace lumeno {

class TStream;

// The key that opens a placeable header.
constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::size_t PlaceableHeaderSize = 22;

// Called as records are played (at most once per hundredth); returns true
// to stop playing.
using TMetafileProgress = std::function<bool(int Done, int Total)>;

class TMetafile {
public:
    // Replaces the content; on failure the metafile is left as it was.
    void LoadFromBytes(std::vector<std::uint8_t> Bytes);
    // The stream from its position to its end.
    void LoadFromStream(TStream& Stream);

    bool GetEmpty() const { return records_.empty(); }
    bool GetEnhanced() const { return enhanced_; }
    // The picture's size in pixels at 96 per inch.
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    // WMF: the placeable header's box (in metafile units) and units per
    // inch. EMF: the frame in hundredths of a millimetre, Inch 2540.
    TRect GetBounds() const { return bounds_; }
    int GetInch() const { return inch_; }
    int GetObjectCount() const { return objectCount_; }
    int GetRecordCount() const { return static_cast<int>(records_.size()); }
    // WMF: the entries of its first palette; EMF: the palette of its end record.
    const std::vector<TColor>& GetPalette() const { return palette_; }

    // Plays the picture into Dest. False when Progress stopped it.
    bool Play(QPainter& Painter, const QRectF& Dest, const TMetafileProgress& Progress = {}) const;

private:
    struct TSpan {
        std::size_t Offset;
        std::size_t Size;
    };

    void Parse();
    void ParseWMF(std::size_t start);
    void ParseEMF();
    void ReadWMFPalette(TMetafileBytes record);
    TMetafileBytes Bytes() const { return {data_.data(), data_.size()}; }
    QTransform ToPainter(const QRectF& dest) const;

    std::vector<std::uint8_t> data_;
    std::vector<TSpan> records_;
    bool enhanced_ = false;
    int width_ = 0;
    int height_ = 0;
    TRect bounds_{};
    int inch_ = 0;
    int objectCount_ = 0;
    std::vector<TColor> palette_;
    QSizeF deviceUnitsPerMM_;
};

// The XOR of the placeable header's first ten 16-bit words.
std::uint16_t PlaceableChecksum(const std::uint8_t* Header);

} // namespace lumeno
