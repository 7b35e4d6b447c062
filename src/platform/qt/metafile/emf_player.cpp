#include "platform/qt/metafile/emf_player.h"

#include "platform/qt/metafile/metafile_dib.h"

namespace lumeno {

namespace {

enum : std::uint32_t {
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_SETPIXELV = 15,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SCALEVIEWPORTEXTEX = 31,
    EMR_SCALEWINDOWEXTEX = 32,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_SELECTPALETTE = 48,
    EMR_CREATEPALETTE = 49,
    EMR_LINETO = 54,
    EMR_ARCTO = 55,
    EMR_SETARCDIRECTION = 57,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_ABORTPATH = 68,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
};

constexpr std::uint32_t StockObjectFlag = 0x80000000u;
constexpr int TRANSPARENT_BK = 1;
constexpr int WINDING = 2;
constexpr int AD_CLOCKWISE = 2;
constexpr std::uint32_t PS_GEOMETRIC = 0x00010000;
constexpr std::uint32_t BS_NULL = 1;

enum : std::uint32_t { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4 };

// The stock objects, by their number.
const std::vector<std::optional<TGdiObject>>& StockObjects()
{
    static const std::vector<std::optional<TGdiObject>> stock = [] {
        std::vector<std::optional<TGdiObject>> objects(20);
        auto brush = [&](int i, QBrush b) { objects[i] = TGdiObject{TGdiObject::gkBrush, {}, b, {}, {}}; };
        auto pen = [&](int i, QPen p) { objects[i] = TGdiObject{TGdiObject::gkPen, p, {}, {}, {}}; };
        brush(0, QColor(Qt::white));
        brush(1, QColor(192, 192, 192));
        brush(2, QColor(128, 128, 128));
        brush(3, QColor(64, 64, 64));
        brush(4, QColor(Qt::black));
        brush(5, Qt::NoBrush);
        pen(6, QPen(QColor(Qt::white), 0));
        pen(7, QPen(QColor(Qt::black), 0));
        pen(8, Qt::NoPen);
        for (int font : {10, 11, 12, 13, 14, 16, 17})
            objects[font] = TGdiObject{TGdiObject::gkFont, {}, {}, {}, {}};
        objects[15] = TGdiObject{TGdiObject::gkPalette, {}, {}, {}, {}};
        brush(18, QColor(Qt::white));
        pen(19, QPen(QColor(Qt::black), 0));
        return objects;
    }();
    return stock;
}

} // namespace

TEMFPlayer::TEMFPlayer(TMetafileDC& dc, int handleCount)
    : dc_(dc), objects_(static_cast<std::size_t>(std::max(handleCount, 1)))
{
}

void TEMFPlayer::Play(TMetafileBytes record)
{
    const std::uint32_t type = record.U32(0);
    if (!PlayState(type, record) && !PlayMapping(type, record) && !PlayShape(type, record) &&
        !PlayPoly(type, record) && !PlayPath(type) && !PlayObject(type, record))
        PlayBitmap(type, record);
}

QRectF TEMFPlayer::RectOf(TMetafileBytes r, std::size_t offset)
{
    return QRectF(QPointF(r.I32(offset), r.I32(offset + 4)), QPointF(r.I32(offset + 8), r.I32(offset + 12)));
}

QPointF TEMFPlayer::PointOf(TMetafileBytes r, std::size_t offset)
{
    return QPointF(r.I32(offset), r.I32(offset + 4));
}

QTransform TEMFPlayer::XFormOf(TMetafileBytes r, std::size_t offset)
{
    return {r.F32(offset),      r.F32(offset + 4),  r.F32(offset + 8),
            r.F32(offset + 12), r.F32(offset + 16), r.F32(offset + 20)};
}

bool TEMFPlayer::PlayState(std::uint32_t type, TMetafileBytes r)
{
    TDCState& s = dc_.State();
    switch (type) {
    case EMR_SETBKMODE:
        s.OpaqueBk = r.U32(8) != TRANSPARENT_BK;
        break;
    case EMR_SETPOLYFILLMODE:
        s.FillRule = r.U32(8) == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case EMR_SETROP2:
        s.Rop2 = r.I32(8);
        break;
    case EMR_SETSTRETCHBLTMODE:
        s.StretchMode = r.I32(8);
        break;
    case EMR_SETTEXTALIGN:
        s.TextAlign = r.U32(8);
        break;
    case EMR_SETTEXTCOLOR:
        s.TextColor = dc_.ColorOf(r.U32(8));
        break;
    case EMR_SETBKCOLOR:
        s.BkColor = dc_.ColorOf(r.U32(8));
        break;
    case EMR_SETARCDIRECTION:
        s.ArcClockwise = r.U32(8) == AD_CLOCKWISE;
        break;
    case EMR_SAVEDC:
        dc_.SaveDC();
        break;
    case EMR_RESTOREDC:
        dc_.RestoreDC(r.I32(8));
        break;
    case EMR_EXCLUDECLIPRECT:
        dc_.ExcludeClipRect(RectOf(r, 8));
        break;
    case EMR_INTERSECTCLIPRECT:
        dc_.IntersectClipRect(RectOf(r, 8));
        break;
    case EMR_EXTSELECTCLIPRGN:
        SelectClipRegion(r);
        break;
    default:
        return false;
    }
    return true;
}

void TEMFPlayer::SelectClipRegion(TMetafileBytes r)
{
    const std::uint32_t size = r.U32(8);
    const int mode = r.I32(12);
    std::vector<QRectF> rects;
    if (size > 0) {
        const TMetafileBytes region = r.Sub(16, size);
        const std::size_t count = region.U32(8);
        region.Ptr(32, count * 16);
        for (std::size_t i = 0; i < count; ++i)
            rects.push_back(RectOf(region, 32 + 16 * i));
    }
    dc_.SelectClipRects(rects, mode);
}

bool TEMFPlayer::PlayMapping(std::uint32_t type, TMetafileBytes r)
{
    TDCState& s = dc_.State();
    switch (type) {
    case EMR_SETMAPMODE:
        s.MapMode = r.I32(8);
        break;
    case EMR_SETWINDOWORGEX:
        s.WindowOrg = PointOf(r, 8);
        break;
    case EMR_SETVIEWPORTORGEX:
        s.ViewportOrg = PointOf(r, 8);
        break;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX:
        // A zero extent would make the mapping singular; GDI refuses it too.
        if (r.I32(8) != 0 && r.I32(12) != 0)
            (type == EMR_SETWINDOWEXTEX ? s.WindowExt : s.ViewportExt) = QSizeF(r.I32(8), r.I32(12));
        break;
    case EMR_SCALEWINDOWEXTEX:
    case EMR_SCALEVIEWPORTEXTEX: {
        QSizeF& ext = type == EMR_SCALEWINDOWEXTEX ? s.WindowExt : s.ViewportExt;
        const double xNum = r.I32(8), xDenom = r.I32(12), yNum = r.I32(16), yDenom = r.I32(20);
        if (xNum != 0 && xDenom != 0 && yNum != 0 && yDenom != 0)
            ext = QSizeF(ext.width() * xNum / xDenom, ext.height() * yNum / yDenom);
        break;
    }
    case EMR_SETWORLDTRANSFORM:
        s.World = XFormOf(r, 8);
        break;
    case EMR_MODIFYWORLDTRANSFORM: {
        const QTransform x = XFormOf(r, 8);
        switch (r.U32(32)) {
        case MWT_IDENTITY:
            s.World.reset();
            break;
        case MWT_LEFTMULTIPLY:
            s.World = x * s.World;
            break;
        case MWT_RIGHTMULTIPLY:
            s.World = s.World * x;
            break;
        case MWT_SET:
            s.World = x;
            break;
        default:
            break;
        }
        break;
    }
    default:
        return false;
    }
    return true;
}

bool TEMFPlayer::PlayShape(std::uint32_t type, TMetafileBytes r)
{
    QPainterPath path;
    switch (type) {
    case EMR_MOVETOEX:
        dc_.MoveTo(PointOf(r, 8));
        return true;
    case EMR_LINETO:
        dc_.LineTo(PointOf(r, 8));
        return true;
    case EMR_SETPIXELV:
        dc_.SetPixel(PointOf(r, 8), dc_.ColorOf(r.U32(16)));
        return true;
    case EMR_RECTANGLE:
        path.addRect(RectOf(r, 8));
        break;
    case EMR_ELLIPSE:
        path.addEllipse(RectOf(r, 8));
        break;
    case EMR_ROUNDRECT:
        path.addRoundedRect(RectOf(r, 8), r.I32(24) / 2.0, r.I32(28) / 2.0);
        break;
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: {
        const QRectF box = RectOf(r, 8);
        path = dc_.ArcPath(box, PointOf(r, 24), PointOf(r, 32));
        if (type == EMR_ARC) {
            dc_.Stroke(path);
            return true;
        }
        if (type == EMR_ARCTO) {
            QPainterPath segment(dc_.State().Position);
            segment.connectPath(path);
            dc_.ContinueFigure(segment);
            return true;
        }
        if (type == EMR_PIE)
            path.lineTo(box.normalized().center());
        path.closeSubpath();
        break;
    }
    case EMR_EXTTEXTOUTW:
        PlayText(r);
        return true;
    default:
        return false;
    }
    dc_.FillAndStroke(path);
    return true;
}

QPolygonF TEMFPlayer::Points(TMetafileBytes r, std::size_t offset, std::size_t count, bool shortPoints)
{
    const std::size_t size = shortPoints ? 4 : 8;
    r.Ptr(offset, count * size);
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = offset + i * size;
        points.append(shortPoints ? QPointF(r.I16(at), r.I16(at + 2)) : PointOf(r, at));
    }
    return points;
}

void TEMFPlayer::PolyPoly(TMetafileBytes r, bool shortPoints, bool closed)
{
    const std::size_t polygons = r.U32(24);
    const std::size_t total = r.U32(28);
    r.Ptr(32, polygons * 4);
    std::size_t at = 32 + polygons * 4;
    const QPolygonF all = Points(r, at, total, shortPoints);
    QPainterPath path;
    std::size_t used = 0;
    for (std::size_t i = 0; i < polygons; ++i) {
        const std::size_t count = r.U32(32 + 4 * i);
        if (count > total - used)
            throw EMetafileError("Metafile point counts exceed the points given");
        path.addPolygon(all.mid(static_cast<qsizetype>(used), static_cast<qsizetype>(count)));
        if (closed)
            path.closeSubpath();
        used += count;
    }
    if (closed)
        dc_.FillAndStroke(path);
    else
        dc_.Stroke(path);
}

bool TEMFPlayer::PlayPoly(std::uint32_t type, TMetafileBytes r)
{
    const bool shortPoints = type >= EMR_POLYBEZIER16 && type <= EMR_POLYPOLYGON16;
    switch (type) {
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYLINE16:
        PolyPoly(r, shortPoints, false);
        return true;
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYGON16:
        PolyPoly(r, shortPoints, true);
        return true;
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        break;
    default:
        return false;
    }
    const QPolygonF points = Points(r, 28, r.U32(24), shortPoints);
    const std::uint32_t kind = shortPoints ? type - EMR_POLYBEZIER16 + EMR_POLYBEZIER : type;
    const bool continues = kind == EMR_POLYBEZIERTO || kind == EMR_POLYLINETO;
    QPainterPath path(continues ? dc_.State().Position : points.value(0));
    const qsizetype first = continues ? 0 : 1;
    if (kind == EMR_POLYBEZIER || kind == EMR_POLYBEZIERTO) {
        for (qsizetype i = first; i + 2 < points.size(); i += 3)
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
    } else {
        for (qsizetype i = first; i < points.size(); ++i)
            path.lineTo(points[i]);
    }
    if (continues)
        dc_.ContinueFigure(path);
    else if (kind == EMR_POLYGON && !points.isEmpty()) {
        path.closeSubpath();
        dc_.FillAndStroke(path);
    } else if (!points.isEmpty())
        dc_.Stroke(path);
    return true;
}

bool TEMFPlayer::PlayPath(std::uint32_t type)
{
    switch (type) {
    case EMR_BEGINPATH:
        dc_.BeginPath();
        break;
    case EMR_ENDPATH:
        dc_.EndPath();
        break;
    case EMR_CLOSEFIGURE:
        dc_.CloseFigure();
        break;
    case EMR_FILLPATH:
        dc_.FillPath();
        break;
    case EMR_STROKEPATH:
        dc_.StrokePath();
        break;
    case EMR_STROKEANDFILLPATH:
        dc_.StrokeAndFillPath();
        break;
    case EMR_ABORTPATH:
        dc_.AbortPath();
        break;
    default:
        return false;
    }
    return true;
}

void TEMFPlayer::PlayText(TMetafileBytes r)
{
    const std::size_t count = r.U32(44);
    const std::size_t offString = r.U32(48);
    const unsigned options = r.U32(52);
    const std::size_t offDx = r.U32(72);
    const std::uint8_t* chars = r.Ptr(offString, count * 2);
    QString text;
    text.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i)
        text.append(QChar(static_cast<char16_t>(chars[2 * i] | chars[2 * i + 1] << 8)));
    std::vector<int> dx;
    if (offDx != 0 && r.Holds(offDx, count * 4))
        for (std::size_t i = 0; i < count; ++i)
            dx.push_back(r.I32(offDx + 4 * i));
    std::optional<QRectF> rect;
    if (options & (ETO_OPAQUE | ETO_CLIPPED))
        rect = RectOf(r, 56);
    dc_.TextOut(PointOf(r, 36), text, options, rect, dx);
}

// --- objects ----------------------------------------------------------------

void TEMFPlayer::AddObject(std::uint32_t index, TGdiObject object)
{
    if (index == 0 || index >= objects_.size())
        throw EMetafileError("Invalid metafile object index");
    objects_[index] = std::move(object);
}

const TGdiObject* TEMFPlayer::ObjectAt(std::uint32_t index) const
{
    const auto& table = index & StockObjectFlag ? StockObjects() : objects_;
    index &= ~StockObjectFlag;
    if (index >= table.size())
        throw EMetafileError("Invalid metafile object index");
    return table[index] ? &*table[index] : nullptr;
}

QImage TEMFPlayer::Bitmap(TMetafileBytes r, std::size_t at, std::uint32_t usage) const
{
    // offBmi, cbBmi, offBits, cbBits
    const std::uint32_t cbBmi = r.U32(at + 4);
    if (cbBmi == 0)
        return {};
    return DecodeMetafileDIB(r.Sub(r.U32(at), cbBmi), r.Sub(r.U32(at + 8), r.U32(at + 12)), usage,
                             dc_.State().Palette);
}

bool TEMFPlayer::PlayObject(std::uint32_t type, TMetafileBytes r)
{
    TGdiObject object;
    switch (type) {
    case EMR_SELECTOBJECT:
    case EMR_SELECTPALETTE:
        if (const TGdiObject* selected = ObjectAt(r.U32(8)))
            dc_.Select(*selected);
        return true;
    case EMR_DELETEOBJECT:
        ObjectAt(r.U32(8));
        if (!(r.U32(8) & StockObjectFlag))
            objects_[r.U32(8)].reset();
        return true;
    case EMR_CREATEPEN:
        object.Kind = TGdiObject::gkPen;
        object.Pen = TMetafileDC::MakePen(r.I32(12), r.I32(16), dc_.ColorOf(r.U32(24)));
        break;
    case EMR_EXTCREATEPEN: {
        object.Kind = TGdiObject::gkPen;
        const std::uint32_t style = r.U32(28);
        const bool geometric = style & PS_GEOMETRIC;
        object.Pen = r.U32(36) == BS_NULL
                         ? QPen(Qt::NoPen)
                         : TMetafileDC::MakePen(static_cast<int>(style & 0xFFFF), geometric ? r.U32(32) : 0,
                                                dc_.ColorOf(r.U32(40)));
        break;
    }
    case EMR_CREATEBRUSHINDIRECT:
        object.Kind = TGdiObject::gkBrush;
        object.Brush = TMetafileDC::MakeBrush(r.I32(12), dc_.ColorOf(r.U32(16)), r.I32(20));
        break;
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        object.Kind = TGdiObject::gkBrush;
        const QImage image = Bitmap(r, 16, r.U32(12));
        object.Brush = image.isNull() ? QBrush(Qt::black) : QBrush(image);
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        object.Kind = TGdiObject::gkFont;
        TLogFont& f = object.Font;
        f.Height = r.I32(12);
        f.Width = r.I32(16);
        f.Escapement = r.I32(20);
        f.Weight = r.I32(28);
        f.Italic = r.U8(32) != 0;
        f.Underline = r.U8(33) != 0;
        f.StrikeOut = r.U8(34) != 0;
        const std::uint8_t* name = r.Ptr(40, 64);
        for (int i = 0; i < 32; ++i) {
            const char16_t c = static_cast<char16_t>(name[2 * i] | name[2 * i + 1] << 8);
            if (c == 0)
                break;
            f.FaceName.append(QChar(c));
        }
        break;
    }
    case EMR_CREATEPALETTE: {
        object.Kind = TGdiObject::gkPalette;
        const std::size_t count = r.U16(14);
        const std::uint8_t* entries = r.Ptr(16, count * 4);
        for (std::size_t i = 0; i < count; ++i)
            object.Palette.push_back(qRgb(entries[4 * i], entries[4 * i + 1], entries[4 * i + 2]));
        break;
    }
    default:
        return false;
    }
    AddObject(r.U32(8), std::move(object));
    return true;
}

// --- bitmaps ----------------------------------------------------------------

bool TEMFPlayer::PlayBitmap(std::uint32_t type, TMetafileBytes r)
{
    switch (type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT: {
        const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
        const QImage image = Bitmap(r, 84, r.U32(80));
        const QSizeF sourceSize = type == EMR_STRETCHBLT ? QSizeF(r.I32(100), r.I32(104)) : dest.size();
        dc_.DrawImage(dest, image, QRectF(QPointF(r.I32(44), r.I32(48)), sourceSize), r.U32(40));
        return true;
    }
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE: {
        const QImage image = Bitmap(r, 48, r.U32(64));
        const double cx = r.I32(40), cy = r.I32(44);
        // The source rectangle is given from the bitmap's lower-left corner.
        const QRectF source(r.I32(32), image.height() - static_cast<double>(r.I32(36)) - cy, cx, cy);
        const bool stretch = type == EMR_STRETCHDIBITS;
        const QRectF dest(r.I32(24), r.I32(28), stretch ? r.I32(72) : cx, stretch ? r.I32(76) : cy);
        dc_.DrawImage(dest, image, source, stretch ? r.U32(68) : SRCCOPY);
        return true;
    }
    default:
        return false; // unknown records are skipped
    }
}

} // namespace lumeno
