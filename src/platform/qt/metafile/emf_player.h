#pragma once
// Plays the records of an enhanced metafile onto a metafile device context.

#include "platform/qt/metafile/metafile_bytes.h"
#include "platform/qt/metafile/metafile_dc.h"

#include <optional>
#include <vector>

namespace lumeno {

class TEMFPlayer {
public:
    // handleCount: the size of the object table the header declares
    // (entry 0 is reserved).
    TEMFPlayer(TMetafileDC& dc, int handleCount);

    // One record, from its type field on. Raises EMetafileError when the
    // record's parameters do not fit its size or name a missing object.
    void Play(TMetafileBytes record);

private:
    bool PlayState(std::uint32_t type, TMetafileBytes r);
    bool PlayMapping(std::uint32_t type, TMetafileBytes r);
    bool PlayShape(std::uint32_t type, TMetafileBytes r);
    bool PlayPoly(std::uint32_t type, TMetafileBytes r);
    bool PlayPath(std::uint32_t type);
    bool PlayObject(std::uint32_t type, TMetafileBytes r);
    bool PlayBitmap(std::uint32_t type, TMetafileBytes r);
    void PlayText(TMetafileBytes r);
    void SelectClipRegion(TMetafileBytes r);
    void PolyPoly(TMetafileBytes r, bool shortPoints, bool closed);

    static QRectF RectOf(TMetafileBytes r, std::size_t offset);
    static QPointF PointOf(TMetafileBytes r, std::size_t offset);
    static QPolygonF Points(TMetafileBytes r, std::size_t offset, std::size_t count, bool shortPoints);
    static QTransform XFormOf(TMetafileBytes r, std::size_t offset);
    QImage Bitmap(TMetafileBytes r, std::size_t at, std::uint32_t usage) const;
    void AddObject(std::uint32_t index, TGdiObject object);
    const TGdiObject* ObjectAt(std::uint32_t index) const;

    TMetafileDC& dc_;
    std::vector<std::optional<TGdiObject>> objects_;
};

} // namespace lumeno
