#include "platform/qt/metafile/metafile_dc.h"

#include "platform/qt/metafile/metafile_bytes.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumeno {

namespace {

constexpr int R2_BLACK = 1;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOP = 11;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;
constexpr int HALFTONE = 4;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;

// Larger text is not worth rasterising; it also keeps lying font sizes cheap.
constexpr double MaxFontPixels = 4096;
constexpr std::size_t MaxSavedStates = 4096;
// No real mapping comes near; beyond it pixel arithmetic would overflow.
constexpr double MaxTransformValue = 1e9;

// Logical units per millimetre of the fixed map modes (y grows upwards).
double MillimetresPerUnit(int mapMode)
{
    switch (mapMode) {
    case MM_LOMETRIC:
        return 0.1;
    case MM_HIMETRIC:
        return 0.01;
    case MM_LOENGLISH:
        return 0.254;
    case MM_HIENGLISH:
        return 0.0254;
    case MM_TWIPS:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

Qt::PenStyle PenStyleOf(int style)
{
    switch (style & 0x0F) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle HatchOf(int hatch)
{
    switch (hatch) {
    case 0:
        return Qt::HorPattern;
    case 1:
        return Qt::VerPattern;
    case 2:
        return Qt::FDiagPattern;
    case 3:
        return Qt::BDiagPattern;
    case 4:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

double ScaleOf(const QTransform& t)
{
    return std::sqrt(std::abs(t.determinant()));
}

} // namespace

TMetafileDC::TMetafileDC(QPainter& painter, const QTransform& toPainter, QSizeF unitsPerMM)
    : painter_(painter), toPainter_(toPainter), unitsPerMM_(unitsPerMM),
      deviceRect_(0, 0, painter.device()->width(), painter.device()->height())
{
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

TMetafileDC::~TMetafileDC()
{
    painter_.restore();
}

void TMetafileDC::SaveDC()
{
    // Real pictures nest a few levels; a file saving without end is damaged.
    if (saved_.size() >= MaxSavedStates)
        throw EMetafileError("Metafile saves too many states");
    saved_.push_back(state_);
}

bool TMetafileDC::RestoreDC(int level)
{
    const auto depth = static_cast<std::int64_t>(saved_.size());
    const std::int64_t keep = level < 0 ? depth + level : std::int64_t{level} - 1;
    if (level == 0 || keep < 0 || keep >= depth)
        return false;
    state_ = saved_[static_cast<std::size_t>(keep)];
    saved_.resize(static_cast<std::size_t>(keep));
    return true;
}

QColor TMetafileDC::ColorOf(std::uint32_t colorRef) const
{
    if (colorRef >> 24 == 1) {
        const qsizetype index = colorRef & 0xFFFF;
        return index < state_.Palette.size() ? QColor(state_.Palette[index]) : QColor(Qt::black);
    }
    return QColor(colorRef & 0xFF, colorRef >> 8 & 0xFF, colorRef >> 16 & 0xFF);
}

QPen TMetafileDC::MakePen(int style, double width, QColor color)
{
    QPen pen(color, std::max(0.0, width), PenStyleOf(style));
    switch (style & 0x0F00) {
    case 0x0100:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case 0x0200:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (style & 0xF000) {
    case 0x1000:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case 0x2000:
        pen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    return pen;
}

QBrush TMetafileDC::MakeBrush(int style, QColor color, int hatch)
{
    switch (style) {
    case 1:
        return Qt::NoBrush;
    case 2:
        return {color, HatchOf(hatch)};
    default:
        return color;
    }
}

void TMetafileDC::Select(const TGdiObject& object)
{
    switch (object.Kind) {
    case TGdiObject::gkPen:
        state_.Pen = object.Pen;
        break;
    case TGdiObject::gkBrush:
        state_.Brush = object.Brush;
        break;
    case TGdiObject::gkFont:
        state_.Font = object.Font;
        break;
    case TGdiObject::gkPalette:
        state_.Palette = object.Palette;
        break;
    case TGdiObject::gkOther:
        break;
    }
}

// --- mapping --------------------------------------------------------------

QTransform TMetafileDC::PageTransform() const
{
    const TDCState& s = state_;
    double sx = 1, sy = 1;
    if (const double mm = MillimetresPerUnit(s.MapMode); mm > 0) {
        sx = unitsPerMM_.width() * mm;
        sy = -unitsPerMM_.height() * mm;
    } else if (s.MapMode == MM_ISOTROPIC || s.MapMode == MM_ANISOTROPIC) {
        sx = s.ViewportExt.width() / s.WindowExt.width();
        sy = s.ViewportExt.height() / s.WindowExt.height();
        if (s.MapMode == MM_ISOTROPIC) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    return {sx, 0, 0, sy, s.ViewportOrg.x() - s.WindowOrg.x() * sx, s.ViewportOrg.y() - s.WindowOrg.y() * sy};
}

QTransform TMetafileDC::Transform() const
{
    const QTransform t = state_.World * PageTransform() * toPainter_;
    for (const double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(v) || std::abs(v) > MaxTransformValue)
            throw EMetafileError("Invalid metafile mapping");
    return t;
}

void TMetafileDC::Prepare(bool logical)
{
    painter_.resetTransform();
    if (state_.Clip)
        painter_.setClipRegion(*state_.Clip);
    else
        painter_.setClipping(false);
    painter_.setTransform(logical ? Transform() : QTransform());
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setBackgroundMode(state_.OpaqueBk ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(state_.BkColor);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, state_.StretchMode == HALFTONE);
}

bool TMetafileDC::ApplyRop2(QPen& pen, QBrush& brush)
{
    auto solid = [&](QColor c) {
        pen.setColor(c);
        if (brush.style() != Qt::NoBrush)
            brush = c;
    };
    switch (state_.Rop2) {
    case R2_NOP:
        return false;
    case R2_BLACK:
        solid(Qt::black);
        break;
    case R2_WHITE:
        solid(Qt::white);
        break;
    case R2_NOT:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
    case R2_XORPEN:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case R2_MASKPEN:
        painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case R2_MERGEPEN:
        painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    default:
        break;
    }
    return true;
}

// --- clipping -------------------------------------------------------------

// Painter pixels of a rectangle, cut to the device first so that far-away
// coordinates never reach integer arithmetic.
QRect TMetafileDC::PixelRect(const QRectF& rect) const
{
    const QRectF r = rect.normalized().intersected(QRectF(deviceRect_.adjusted(-1, -1, 1, 1)));
    if (r.isEmpty())
        return {};
    return QRect(QPoint(qRound(r.left()), qRound(r.top())),
                 QPoint(qRound(r.right()) - 1, qRound(r.bottom()) - 1));
}

QRegion TMetafileDC::DeviceRegion(const QRectF& rect) const
{
    const QTransform t = Transform();
    if (t.type() <= QTransform::TxScale)
        return PixelRect(t.mapRect(rect.normalized()));
    const QPolygonF device(QRectF(deviceRect_.adjusted(-1, -1, 1, 1)));
    return QRegion(t.map(QPolygonF(rect.normalized())).intersected(device).toPolygon());
}

void TMetafileDC::IntersectClipRect(const QRectF& rect)
{
    const QRegion r = DeviceRegion(rect);
    state_.Clip = state_.Clip ? state_.Clip->intersected(r) : r;
}

void TMetafileDC::ExcludeClipRect(const QRectF& rect)
{
    state_.Clip = (state_.Clip ? *state_.Clip : QRegion(deviceRect_)).subtracted(DeviceRegion(rect));
}

void TMetafileDC::SelectClipRects(const std::vector<QRectF>& rects, int mode)
{
    QRegion region;
    for (const QRectF& r : rects)
        region += PixelRect(toPainter_.mapRect(r));
    const QRegion current = state_.Clip ? *state_.Clip : QRegion(deviceRect_);
    switch (mode) {
    case RGN_AND:
        state_.Clip = current.intersected(region);
        break;
    case RGN_OR:
        state_.Clip = current.united(region);
        break;
    case RGN_XOR:
        state_.Clip = current.xored(region);
        break;
    case RGN_DIFF:
        state_.Clip = current.subtracted(region);
        break;
    default:
        if (rects.empty())
            state_.Clip.reset();
        else
            state_.Clip = region;
        break;
    }
}

// --- drawing --------------------------------------------------------------

void TMetafileDC::Draw(const QPainterPath& path, bool fill, bool stroke)
{
    if (openPath_) {
        openPath_->addPath(path);
        return;
    }
    Prepare(true);
    QPen pen = stroke ? state_.Pen : QPen(Qt::NoPen);
    QBrush brush = fill ? state_.Brush : QBrush(Qt::NoBrush);
    if (!ApplyRop2(pen, brush))
        return;
    // Lines thinner than a pixel still show, as one pixel.
    if (pen.style() != Qt::NoPen && pen.widthF() * ScaleOf(painter_.transform()) < 1.0)
        pen.setWidth(0);
    QPainterPath filled = path;
    filled.setFillRule(state_.FillRule);
    painter_.setPen(pen);
    painter_.setBrush(brush);
    painter_.drawPath(filled);
}

void TMetafileDC::Stroke(const QPainterPath& path)
{
    Draw(path, false, true);
}

void TMetafileDC::FillAndStroke(const QPainterPath& path)
{
    Draw(path, true, true);
}

void TMetafileDC::MoveTo(QPointF p)
{
    state_.Position = p;
    if (openPath_)
        openPath_->moveTo(p);
}

void TMetafileDC::LineTo(QPointF p)
{
    QPainterPath segment(state_.Position);
    segment.lineTo(p);
    ContinueFigure(segment);
}

void TMetafileDC::ContinueFigure(const QPainterPath& segment)
{
    if (openPath_) {
        if (openPath_->elementCount() == 0 || openPath_->currentPosition() != state_.Position)
            openPath_->moveTo(state_.Position);
        openPath_->connectPath(segment);
    } else {
        Stroke(segment);
    }
    state_.Position = segment.currentPosition();
}

void TMetafileDC::SetPixel(QPointF p, QColor color)
{
    const QPointF d = Transform().map(p);
    if (!QRectF(deviceRect_).contains(d))
        return;
    Prepare(false);
    painter_.fillRect(QRect(static_cast<int>(std::floor(d.x())), static_cast<int>(std::floor(d.y())), 1, 1),
                      color);
}

void TMetafileDC::PatBlt(const QRectF& rect, std::uint32_t rop)
{
    Prepare(true);
    switch (rop) {
    case BLACKNESS:
        painter_.fillRect(rect, Qt::black);
        break;
    case WHITENESS:
        painter_.fillRect(rect, Qt::white);
        break;
    case DSTINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillRect(rect, Qt::black);
        break;
    case PATINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillRect(rect, state_.Brush);
        break;
    default:
        painter_.fillRect(rect, state_.Brush);
        break;
    }
}

namespace {

// Qt's raster engine writes outside its target for some small scaled pictures
// under a mirroring world transform (a metafile whose y axis points up), so
// pictures are drawn in device pixels, mirrored there instead.
void DrawInDevicePixels(QPainter& painter, const QRectF& target, QImage picture, QRectF source)
{
    const QTransform t = painter.worldTransform();
    if (t.type() > QTransform::TxScale) {
        painter.drawImage(target, picture, source);
        return;
    }
    const bool flipX = t.m11() < 0, flipY = t.m22() < 0;
    if (flipX || flipY) {
        picture = picture.mirrored(flipX, flipY);
        if (flipX)
            source.moveLeft(picture.width() - source.right());
        if (flipY)
            source.moveTop(picture.height() - source.bottom());
    }
    const QRectF device = t.mapRect(target);
    painter.save();
    painter.resetTransform();
    painter.drawImage(device, picture, source);
    painter.restore();
}

} // namespace

void TMetafileDC::DrawImage(const QRectF& dest, const QImage& image, const QRectF& source, std::uint32_t rop)
{
    if (rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT || rop == PATCOPY || rop == PATINVERT) {
        PatBlt(dest, rop);
        return;
    }
    if (image.isNull() || dest.isNull() || source.isNull())
        return;
    // Negative extents mirror the picture.
    const bool flipX = (dest.width() < 0) != (source.width() < 0);
    const bool flipY = (dest.height() < 0) != (source.height() < 0);
    QImage picture = flipX || flipY ? image.mirrored(flipX, flipY) : image;
    QRectF from = source.normalized();
    if (flipX)
        from.moveLeft(image.width() - from.right());
    if (flipY)
        from.moveTop(image.height() - from.bottom());
    // Only the part of the source inside the bitmap is drawn, where it falls.
    const QRectF inside = from.intersected(QRectF(picture.rect()));
    if (inside.isEmpty())
        return;
    const QRectF to = dest.normalized();
    const double kx = to.width() / from.width(), ky = to.height() / from.height();
    const QRectF target(to.x() + (inside.x() - from.x()) * kx, to.y() + (inside.y() - from.y()) * ky,
                        inside.width() * kx, inside.height() * ky);
    if (rop == NOTSRCCOPY)
        picture.invertPixels();
    Prepare(true);
    switch (rop) {
    case SRCPAINT:
        painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case SRCAND:
        painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case SRCINVERT:
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    default:
        break;
    }
    DrawInDevicePixels(painter_, target, std::move(picture), inside);
}

QFont TMetafileDC::PainterFont(double scale) const
{
    const TLogFont& lf = state_.Font;
    QFont font;
    if (!lf.FaceName.isEmpty())
        font.setFamily(lf.FaceName);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setItalic(lf.Italic);
    font.setUnderline(lf.Underline);
    font.setStrikeOut(lf.StrikeOut);
    if (lf.Weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.Weight, 1, 1000)));
    const double pixels = lf.Height == 0 ? 16.0 : std::abs(static_cast<double>(lf.Height)) * scale;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(std::min(pixels, MaxFontPixels)))));
    // A positive height is the cell height, a negative one the character height.
    if (lf.Height > 0) {
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            font.setPixelSize(
                std::max(1, static_cast<int>(std::lround(std::min(pixels * pixels / cell, MaxFontPixels)))));
    }
    return font;
}

namespace {

// Painter-pixel advance of each character: the record's own spacing where
// it gives one.
std::vector<double> TextAdvances(const QString& text, const std::vector<int>& dx, double sx,
                                 const QFontMetricsF& metrics)
{
    std::vector<double> advances;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        advances.push_back(k < dx.size() ? dx[k] * sx : metrics.horizontalAdvance(text[i]));
    }
    return advances;
}

// Where the text run starts (x) and its baseline lies (y) relative to the
// reference point.
QPointF TextStart(unsigned align, double width, const QFontMetricsF& metrics)
{
    const double x = (align & TA_CENTER) == TA_CENTER  ? -width / 2
                     : (align & TA_CENTER) == TA_RIGHT ? -width
                                                       : 0;
    const double y = (align & TA_BASELINE) == TA_BASELINE ? 0
                     : (align & TA_BASELINE) == TA_BOTTOM ? -metrics.descent()
                                                          : metrics.ascent();
    return {x, y};
}

} // namespace

void TMetafileDC::TextOut(QPointF p, const QString& text, unsigned options, const std::optional<QRectF>& rect,
                          const std::vector<int>& dx)
{
    const unsigned align = state_.TextAlign;
    if (align & TA_UPDATECP)
        p = state_.Position;
    const QTransform t = Transform();
    Prepare(true);
    if (rect && (options & ETO_OPAQUE))
        painter_.fillRect(*rect, state_.BkColor);
    if (rect && (options & ETO_CLIPPED))
        painter_.setClipRect(*rect, Qt::IntersectClip);

    const QFont font = PainterFont(std::hypot(t.m21(), t.m22()));
    const QFontMetricsF metrics(font);
    const std::vector<double> advances = TextAdvances(text, dx, std::hypot(t.m11(), t.m12()), metrics);
    double width = 0;
    for (const double a : advances)
        width += a;
    const QPointF start = TextStart(align, width, metrics);

    // Text stays upright whatever the mapping's direction.
    QTransform device;
    device.translate(t.map(p).x(), t.map(p).y());
    device.rotate(-(state_.Font.Escapement / 10.0));
    painter_.setTransform(device);
    painter_.setBackgroundMode(Qt::TransparentMode);
    if (state_.OpaqueBk)
        painter_.fillRect(
            QRectF(start.x(), start.y() - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
            state_.BkColor);
    painter_.setFont(font);
    painter_.setPen(state_.TextColor);
    if (dx.empty()) {
        painter_.drawText(start, text);
    } else {
        double x = start.x();
        for (qsizetype i = 0; i < text.size(); ++i) {
            painter_.drawText(QPointF(x, start.y()), QString(text[i]));
            x += advances[static_cast<std::size_t>(i)];
        }
    }
    // The current position moves past the text, left-aligned or right-aligned.
    if ((align & TA_UPDATECP) && (align & TA_CENTER) != TA_CENTER && t.isInvertible()) {
        const double end = (align & TA_CENTER) == TA_RIGHT ? start.x() : width;
        state_.Position = t.inverted().map(device.map(QPointF(end, 0)));
    }
}

QPainterPath TMetafileDC::ArcPath(const QRectF& box, QPointF start, QPointF end) const
{
    const QRectF r = box.normalized();
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0)
        return path;
    const QPointF c = r.center();
    const double a = r.width() / 2, b = r.height() / 2;
    // The radial lines through the given points meet the ellipse where its
    // parametric angle has the same direction once the axes are equalised.
    auto angleOf = [&](QPointF q) {
        return std::atan2(-(q.y() - c.y()) / b, (q.x() - c.x()) / a) * 180 / std::numbers::pi;
    };
    const double from = angleOf(start);
    double sweep = angleOf(end) - from;
    if (state_.ArcClockwise) {
        while (sweep >= 0)
            sweep -= 360;
    } else {
        while (sweep <= 0)
            sweep += 360;
    }
    path.arcMoveTo(r, from);
    path.arcTo(r, from, sweep);
    return path;
}

// --- paths ------------------------------------------------------------------

void TMetafileDC::BeginPath()
{
    openPath_ = QPainterPath();
}

void TMetafileDC::EndPath()
{
    if (!openPath_)
        return;
    path_ = *openPath_;
    openPath_.reset();
}

void TMetafileDC::CloseFigure()
{
    if (openPath_)
        openPath_->closeSubpath();
}

void TMetafileDC::AbortPath()
{
    openPath_.reset();
    path_ = QPainterPath();
}

void TMetafileDC::FillPath()
{
    Draw(path_, true, false);
    path_ = QPainterPath();
}

void TMetafileDC::StrokePath()
{
    Draw(path_, false, true);
    path_ = QPainterPath();
}

void TMetafileDC::StrokeAndFillPath()
{
    Draw(path_, true, true);
    path_ = QPainterPath();
}

} // namespace lumeno
