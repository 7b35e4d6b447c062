#pragma once
// Plays the records of a Windows metafile onto a metafile device context.

#include "platform/qt/metafile/metafile_bytes.h"
#include "platform/qt/metafile/metafile_dc.h"

#include <optional>
#include <vector>

namespace lumeno {

class TWMFPlayer {
public:
    // objectCount: the size of the object table the file's header declares.
    TWMFPlayer(TMetafileDC& dc, int objectCount);

    // One record, from its size field on. Raises EMetafileError when the
    // record's parameters do not fit its size or name a missing object.
    void Play(TMetafileBytes record);

private:
    // The record's 16-bit parameter words.
    struct TParams {
        TMetafileBytes Bytes;
        std::int16_t operator[](std::size_t i) const { return Bytes.I16(6 + 2 * i); }
        std::uint16_t U(std::size_t i) const { return Bytes.U16(6 + 2 * i); }
        std::uint32_t U32(std::size_t i) const { return Bytes.U32(6 + 2 * i); }
        std::size_t Words() const { return (Bytes.Size() - 6) / 2; }
    };

    bool PlayState(std::uint16_t function, const TParams& p);
    bool PlayMapping(std::uint16_t function, const TParams& p);
    bool PlayShape(std::uint16_t function, const TParams& p);
    bool PlayObject(std::uint16_t function, const TParams& p);
    bool PlayBitmap(std::uint16_t function, const TParams& p);
    void PlayText(const TParams& p);
    void PlayExtText(const TParams& p);

    QPolygonF Points(const TParams& p, std::size_t firstWord, std::size_t count) const;
    void PolyPolygon(const TParams& p);
    void AddObject(TGdiObject object);
    // Null for an empty slot; raises past the table's end.
    const TGdiObject* ObjectAt(std::uint16_t index) const;
    QBrush PatternBrush(const TParams& p) const;
    static QRectF BoxOf(const TParams& p, std::size_t first);

    TMetafileDC& dc_;
    std::vector<std::optional<TGdiObject>> objects_;
};

} // namespace lumeno
