#include "platform/qt/metafile/wmf_player.h"

#include "platform/qt/metafile/metafile_dib.h"

namespace lumeno {

namespace {

enum : std::uint16_t {
    META_SETBKCOLOR = 0x0201,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_SCALEWINDOWEXT = 0x0410,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ARC = 0x0817,
    META_ELLIPSE = 0x0418,
    META_PIE = 0x081A,
    META_RECTANGLE = 0x041B,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_SAVEDC = 0x001E,
    META_SETPIXEL = 0x041F,
    META_TEXTOUT = 0x0521,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_CHORD = 0x0830,
    META_EXTTEXTOUT = 0x0A32,
    META_SELECTPALETTE = 0x0234,
    META_POLYPOLYGON = 0x0538,
    META_DIBBITBLT = 0x0940,
    META_DIBSTRETCHBLT = 0x0B41,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_STRETCHDIB = 0x0F43,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPALETTE = 0x00F7,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_CREATEREGION = 0x06FF,
};

constexpr int TRANSPARENT_BK = 1;
constexpr int WINDING = 2;

QString Latin1(const std::uint8_t* p, std::size_t count)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(p), static_cast<qsizetype>(count));
}

} // namespace

TWMFPlayer::TWMFPlayer(TMetafileDC& dc, int objectCount)
    : dc_(dc), objects_(static_cast<std::size_t>(std::max(objectCount, 0)))
{
}

void TWMFPlayer::Play(TMetafileBytes record)
{
    const TParams p{record};
    const std::uint16_t function = record.U16(4);
    if (!PlayState(function, p) && !PlayMapping(function, p) && !PlayShape(function, p) &&
        !PlayObject(function, p))
        PlayBitmap(function, p);
}

bool TWMFPlayer::PlayState(std::uint16_t function, const TParams& p)
{
    TDCState& s = dc_.State();
    switch (function) {
    case META_SETBKCOLOR:
        s.BkColor = dc_.ColorOf(p.U32(0));
        break;
    case META_SETBKMODE:
        s.OpaqueBk = p[0] != TRANSPARENT_BK;
        break;
    case META_SETROP2:
        s.Rop2 = p[0];
        break;
    case META_SETPOLYFILLMODE:
        s.FillRule = p[0] == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case META_SETSTRETCHBLTMODE:
        s.StretchMode = p[0];
        break;
    case META_SETTEXTCOLOR:
        s.TextColor = dc_.ColorOf(p.U32(0));
        break;
    case META_SETTEXTALIGN:
        s.TextAlign = p.U(0);
        break;
    case META_SAVEDC:
        dc_.SaveDC();
        break;
    case META_RESTOREDC:
        dc_.RestoreDC(p[0]);
        break;
    case META_EXCLUDECLIPRECT:
        dc_.ExcludeClipRect(BoxOf(p, 0));
        break;
    case META_INTERSECTCLIPRECT:
        dc_.IntersectClipRect(BoxOf(p, 0));
        break;
    default:
        return false;
    }
    return true;
}

bool TWMFPlayer::PlayMapping(std::uint16_t function, const TParams& p)
{
    TDCState& s = dc_.State();
    auto point = [&] { return QPointF(p[1], p[0]); };
    switch (function) {
    case META_SETMAPMODE:
        s.MapMode = p[0];
        break;
    case META_SETWINDOWORG:
        s.WindowOrg = point();
        break;
    case META_SETVIEWPORTORG:
        s.ViewportOrg = point();
        break;
    case META_OFFSETWINDOWORG:
        s.WindowOrg += point();
        break;
    case META_OFFSETVIEWPORTORG:
        s.ViewportOrg += point();
        break;
    case META_SETWINDOWEXT:
    case META_SETVIEWPORTEXT:
        // A zero extent would make the mapping singular; GDI refuses it too.
        if (p[0] != 0 && p[1] != 0)
            (function == META_SETWINDOWEXT ? s.WindowExt : s.ViewportExt) = QSizeF(p[1], p[0]);
        break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT: {
        QSizeF& ext = function == META_SCALEWINDOWEXT ? s.WindowExt : s.ViewportExt;
        if (p[0] != 0 && p[1] != 0 && p[2] != 0 && p[3] != 0)
            ext = QSizeF(ext.width() * p[3] / p[2], ext.height() * p[1] / p[0]);
        break;
    }
    default:
        return false;
    }
    return true;
}

QRectF TWMFPlayer::BoxOf(const TParams& p, std::size_t first)
{
    // Stored bottom, right, top, left.
    return QRectF(QPointF(p[first + 3], p[first + 2]), QPointF(p[first + 1], p[first]));
}

QPolygonF TWMFPlayer::Points(const TParams& p, std::size_t firstWord, std::size_t count) const
{
    p.Bytes.Ptr(6 + 2 * firstWord, count * 4);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i)
        points.append(QPointF(p[firstWord + 2 * i], p[firstWord + 2 * i + 1]));
    return points;
}

void TWMFPlayer::PolyPolygon(const TParams& p)
{
    const std::size_t polygons = p.U(0);
    p.Bytes.Ptr(8, polygons * 2);
    QPainterPath path;
    std::size_t word = 1 + polygons;
    for (std::size_t i = 0; i < polygons; ++i) {
        const std::size_t count = p.U(1 + i);
        path.addPolygon(Points(p, word, count));
        path.closeSubpath();
        word += 2 * count;
    }
    dc_.FillAndStroke(path);
}

bool TWMFPlayer::PlayShape(std::uint16_t function, const TParams& p)
{
    QPainterPath path;
    switch (function) {
    case META_MOVETO:
        dc_.MoveTo(QPointF(p[1], p[0]));
        return true;
    case META_LINETO:
        dc_.LineTo(QPointF(p[1], p[0]));
        return true;
    case META_RECTANGLE:
        path.addRect(BoxOf(p, 0));
        break;
    case META_ELLIPSE:
        path.addEllipse(BoxOf(p, 0));
        break;
    case META_ROUNDRECT:
        path.addRoundedRect(BoxOf(p, 2), p[1] / 2.0, p[0] / 2.0);
        break;
    case META_ARC:
    case META_PIE:
    case META_CHORD: {
        const QRectF box = BoxOf(p, 4);
        path = dc_.ArcPath(box, QPointF(p[3], p[2]), QPointF(p[1], p[0]));
        if (function == META_ARC) {
            dc_.Stroke(path);
            return true;
        }
        if (function == META_PIE)
            path.lineTo(box.normalized().center());
        path.closeSubpath();
        break;
    }
    case META_POLYGON:
        path.addPolygon(Points(p, 1, p.U(0)));
        path.closeSubpath();
        break;
    case META_POLYLINE: {
        QPainterPath line;
        line.addPolygon(Points(p, 1, p.U(0)));
        dc_.Stroke(line);
        return true;
    }
    case META_POLYPOLYGON:
        PolyPolygon(p);
        return true;
    case META_SETPIXEL:
        dc_.SetPixel(QPointF(p[3], p[2]), dc_.ColorOf(p.U32(0)));
        return true;
    case META_TEXTOUT:
        PlayText(p);
        return true;
    case META_EXTTEXTOUT:
        PlayExtText(p);
        return true;
    default:
        return false;
    }
    dc_.FillAndStroke(path);
    return true;
}

void TWMFPlayer::PlayText(const TParams& p)
{
    const std::size_t count = p.U(0);
    const std::size_t words = (count + 1) / 2;
    const QString text = Latin1(p.Bytes.Ptr(8, count), count);
    dc_.TextOut(QPointF(p[2 + words], p[1 + words]), text, 0, std::nullopt, {});
}

void TWMFPlayer::PlayExtText(const TParams& p)
{
    const std::size_t count = p.U(2);
    const unsigned options = p.U(3);
    std::optional<QRectF> rect;
    std::size_t word = 4;
    if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
        rect = QRectF(QPointF(p[4], p[5]), QPointF(p[6], p[7]));
        word = 8;
    }
    const QString text = Latin1(p.Bytes.Ptr(6 + 2 * word, count), count);
    word += (count + 1) / 2;
    std::vector<int> dx;
    if (p.Words() >= word + count)
        for (std::size_t i = 0; i < count; ++i)
            dx.push_back(p[word + i]);
    dc_.TextOut(QPointF(p[1], p[0]), text, options, rect, dx);
}

// --- objects ----------------------------------------------------------------

void TWMFPlayer::AddObject(TGdiObject object)
{
    for (auto& slot : objects_)
        if (!slot) {
            slot = std::move(object);
            return;
        }
    throw EMetafileError("Metafile object table full");
}

const TGdiObject* TWMFPlayer::ObjectAt(std::uint16_t index) const
{
    if (index >= objects_.size())
        throw EMetafileError("Invalid metafile object index");
    return objects_[index] ? &*objects_[index] : nullptr;
}

QBrush TWMFPlayer::PatternBrush(const TParams& p) const
{
    // A monochrome device-dependent bitmap after 32 bytes of bitmap
    // description: set bits are the background.
    const int width = p.U(1), height = p.U(2), rowBytes = p.U(3);
    if (p.Bytes.U8(14) != 1 || p.Bytes.U8(15) != 1 || width == 0 || height == 0 || width > rowBytes * 8)
        return QBrush(dc_.State().TextColor);
    const std::uint8_t* bits = p.Bytes.Ptr(38, static_cast<std::size_t>(rowBytes) * height);
    QImage pattern(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool set = bits[y * rowBytes + x / 8] >> (7 - x % 8) & 1;
            pattern.setPixel(x, y, (set ? dc_.State().BkColor : dc_.State().TextColor).rgb());
        }
    return QBrush(pattern);
}

bool TWMFPlayer::PlayObject(std::uint16_t function, const TParams& p)
{
    TGdiObject object;
    switch (function) {
    case META_SELECTOBJECT:
    case META_SELECTPALETTE:
        // A deleted object is no longer there to select, as in GDI.
        if (const TGdiObject* selected = ObjectAt(p.U(0)))
            dc_.Select(*selected);
        return true;
    case META_DELETEOBJECT:
        ObjectAt(p.U(0));
        objects_[p.U(0)].reset();
        return true;
    case META_CREATEPENINDIRECT:
        object.Kind = TGdiObject::gkPen;
        object.Pen = TMetafileDC::MakePen(p.U(0), p[1], dc_.ColorOf(p.U32(3)));
        break;
    case META_CREATEBRUSHINDIRECT:
        object.Kind = TGdiObject::gkBrush;
        object.Brush = TMetafileDC::MakeBrush(p.U(0), dc_.ColorOf(p.U32(1)), p.U(3));
        break;
    case META_DIBCREATEPATTERNBRUSH: {
        object.Kind = TGdiObject::gkBrush;
        const QImage image =
            DecodePackedDIB(p.Bytes.Sub(10, p.Bytes.Size() - 10), p.U(1), dc_.State().Palette);
        object.Brush = image.isNull() ? QBrush(Qt::black) : QBrush(image);
        break;
    }
    case META_CREATEPATTERNBRUSH:
        object.Kind = TGdiObject::gkBrush;
        object.Brush = PatternBrush(p);
        break;
    case META_CREATEFONTINDIRECT: {
        object.Kind = TGdiObject::gkFont;
        TLogFont& f = object.Font;
        f.Height = p[0];
        f.Width = p[1];
        f.Escapement = p[2];
        f.Weight = p[4];
        f.Italic = p.Bytes.U8(16) != 0;
        f.Underline = p.Bytes.U8(17) != 0;
        f.StrikeOut = p.Bytes.U8(18) != 0;
        const std::size_t nameBytes =
            std::min<std::size_t>(32, p.Bytes.Size() - std::min<std::size_t>(24, p.Bytes.Size()));
        const std::uint8_t* name = p.Bytes.Ptr(24, nameBytes);
        std::size_t length = 0;
        while (length < nameBytes && name[length])
            ++length;
        f.FaceName = Latin1(name, length);
        break;
    }
    case META_CREATEPALETTE: {
        object.Kind = TGdiObject::gkPalette;
        const std::size_t count = p.U(1);
        const std::uint8_t* entries = p.Bytes.Ptr(10, count * 4);
        for (std::size_t i = 0; i < count; ++i)
            object.Palette.push_back(qRgb(entries[4 * i], entries[4 * i + 1], entries[4 * i + 2]));
        break;
    }
    case META_CREATEREGION:
        break;
    default:
        return false;
    }
    AddObject(std::move(object));
    return true;
}

// --- bitmaps ----------------------------------------------------------------

bool TWMFPlayer::PlayBitmap(std::uint16_t function, const TParams& p)
{
    auto rop = [&] { return p.U32(0); };
    // The blits come without a bitmap when their size is the bare minimum.
    const bool withBitmap = p.Bytes.Size() / 2 != 3u + (function >> 8);
    switch (function) {
    case META_PATBLT:
        dc_.PatBlt(QRectF(p[5], p[4], p[3], p[2]), rop());
        break;
    case META_STRETCHDIB: {
        const QImage image =
            DecodePackedDIB(p.Bytes.Sub(28, p.Bytes.Size() - 28), p.U(2), dc_.State().Palette);
        // The source rectangle is given from the bitmap's lower-left corner.
        const QRectF source(p[6], image.height() - p[5] - p[3], p[4], p[3]);
        dc_.DrawImage(QRectF(p[10], p[9], p[8], p[7]), image, source, rop());
        break;
    }
    case META_DIBSTRETCHBLT:
        if (!withBitmap) {
            dc_.PatBlt(QRectF(p[10], p[9], p[8], p[7]), rop());
        } else {
            const QImage image =
                DecodePackedDIB(p.Bytes.Sub(26, p.Bytes.Size() - 26), 0, dc_.State().Palette);
            dc_.DrawImage(QRectF(p[9], p[8], p[7], p[6]), image, QRectF(p[5], p[4], p[3], p[2]), rop());
        }
        break;
    case META_DIBBITBLT:
        if (!withBitmap) {
            dc_.PatBlt(QRectF(p[8], p[7], p[6], p[5]), rop());
        } else {
            const QImage image =
                DecodePackedDIB(p.Bytes.Sub(22, p.Bytes.Size() - 22), 0, dc_.State().Palette);
            dc_.DrawImage(QRectF(p[7], p[6], p[5], p[4]), image, QRectF(p[3], p[2], p[5], p[4]), rop());
        }
        break;
    default:
        return false; // unknown records and escapes are skipped
    }
    return true;
}

} // namespace lumeno
