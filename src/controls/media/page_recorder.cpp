#include "controls/media/page_recorder.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextItem>

namespace lumeno {

namespace {

template <typename Float, typename Int>
std::vector<Float> ToFloat(const Int* items, int count)
{
    std::vector<Float> out;
    out.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        out.emplace_back(items[i]);
    return out;
}

QPolygonF ToPolygon(const QPoint* points, int count)
{
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon.append(QPointF(points[i]));
    return polygon;
}

QRect Whole(const QRectF& r)
{
    return r.toRect();
}

QLine Whole(const QLineF& l)
{
    return l.toLine();
}

// Draws the shapes as recorded, through the integer call when they came
// through it.
template <typename Int, typename Float, typename Draw>
void DrawShapes(const std::vector<Float>& shapes, bool integral, Draw draw)
{
    if (!integral) {
        draw(shapes.data(), int(shapes.size()));
        return;
    }
    std::vector<Int> whole;
    whole.reserve(shapes.size());
    for (const Float& shape : shapes)
        whole.push_back(Whole(shape));
    draw(whole.data(), int(whole.size()));
}

TPageState CapturedState(const QPaintEngineState& state)
{
    TPageState s;
    s.Dirty = state.state();
    if (s.Dirty & QPaintEngine::DirtyPen)
        s.Pen = state.pen();
    if (s.Dirty & QPaintEngine::DirtyBrush)
        s.Brush = state.brush();
    if (s.Dirty & QPaintEngine::DirtyBrushOrigin)
        s.BrushOrigin = state.brushOrigin();
    if (s.Dirty & QPaintEngine::DirtyBackground)
        s.BackgroundBrush = state.backgroundBrush();
    if (s.Dirty & QPaintEngine::DirtyBackgroundMode)
        s.BackgroundMode = state.backgroundMode();
    if (s.Dirty & QPaintEngine::DirtyTransform)
        s.Transform = state.transform();
    if (s.Dirty & QPaintEngine::DirtyClipEnabled)
        s.ClipEnabled = state.isClipEnabled();
    if (s.Dirty & QPaintEngine::DirtyClipRegion)
        s.ClipRegion = state.clipRegion();
    if (s.Dirty & QPaintEngine::DirtyClipPath)
        s.ClipPath = state.clipPath();
    if (s.Dirty & (QPaintEngine::DirtyClipRegion | QPaintEngine::DirtyClipPath))
        s.ClipOperation = state.clipOperation();
    if (s.Dirty & QPaintEngine::DirtyHints)
        s.Hints = state.renderHints();
    if (s.Dirty & QPaintEngine::DirtyCompositionMode)
        s.Composition = state.compositionMode();
    if (s.Dirty & QPaintEngine::DirtyOpacity)
        s.Opacity = state.opacity();
    return s;
}

// Draws each recorded call on the painter; state is set relative to the
// painter's state when playing began.
class TPagePlayer {
public:
    TPagePlayer(QPainter& painter, int recordedDpiY)
        : p_(painter), baseTransform_(painter.worldTransform()), baseOpacity_(painter.opacity())
    {
        const int dpi = painter.device() ? painter.device()->logicalDpiY() : 0;
        fontScale_ = recordedDpiY > 0 && dpi > 0 ? double(recordedDpiY) / dpi : 1.0;
    }

    void operator()(const TPageState& s) const
    {
        SetLook(s);
        if (s.Dirty & QPaintEngine::DirtyTransform)
            p_.setTransform(s.Transform * baseTransform_);
        SetClip(s);
        if (s.Dirty & QPaintEngine::DirtyHints) {
            p_.setRenderHint(QPainter::Antialiasing, s.Hints.testFlag(QPainter::Antialiasing));
            p_.setRenderHint(QPainter::SmoothPixmapTransform, s.Hints.testFlag(QPainter::SmoothPixmapTransform));
        }
        if (s.Dirty & QPaintEngine::DirtyCompositionMode)
            p_.setCompositionMode(s.Composition);
        if (s.Dirty & QPaintEngine::DirtyOpacity)
            p_.setOpacity(s.Opacity * baseOpacity_);
    }

    void operator()(const TPageRects& op) const
    {
        DrawShapes<QRect>(op.Rects, op.Integral, [this](const auto* rects, int n) { p_.drawRects(rects, n); });
    }

    void operator()(const TPageLines& op) const
    {
        DrawShapes<QLine>(op.Lines, op.Integral, [this](const auto* lines, int n) { p_.drawLines(lines, n); });
    }

    void operator()(const TPagePoints& op) const
    {
        if (op.Integral)
            p_.drawPoints(op.Points.toPolygon());
        else
            p_.drawPoints(op.Points);
    }

    void operator()(const TPagePolygon& op) const
    {
        if (op.Integral)
            DrawPolygon(op.Points.toPolygon(), op.Mode);
        else
            DrawPolygon(op.Points, op.Mode);
    }

    void operator()(const TPageEllipse& op) const
    {
        if (op.Integral)
            p_.drawEllipse(op.Rect.toRect());
        else
            p_.drawEllipse(op.Rect);
    }

    void operator()(const TPagePath& op) const { p_.drawPath(op.Path); }
    void operator()(const TPageImage& op) const { p_.drawImage(op.Target, op.Image, op.Source, op.Flags); }
    void operator()(const TPagePixmap& op) const { p_.drawPixmap(op.Target, op.Pixmap, op.Source); }
    void operator()(const TPageTiledPixmap& op) const { p_.drawTiledPixmap(op.Target, op.Pixmap, op.Offset); }

    void operator()(const TPageText& op) const
    {
        QFont font = op.Font;
        if (fontScale_ != 1.0 && font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * fontScale_);
        p_.setFont(font);
        p_.drawText(op.Baseline, op.Text);
    }

private:
    void SetLook(const TPageState& s) const
    {
        if (s.Dirty & QPaintEngine::DirtyPen)
            p_.setPen(s.Pen);
        if (s.Dirty & QPaintEngine::DirtyBrush)
            p_.setBrush(s.Brush);
        if (s.Dirty & QPaintEngine::DirtyBrushOrigin)
            p_.setBrushOrigin(s.BrushOrigin);
        if (s.Dirty & QPaintEngine::DirtyBackground)
            p_.setBackground(s.BackgroundBrush);
        if (s.Dirty & QPaintEngine::DirtyBackgroundMode)
            p_.setBackgroundMode(s.BackgroundMode);
    }

    void SetClip(const TPageState& s) const
    {
        if (s.Dirty & QPaintEngine::DirtyClipEnabled)
            p_.setClipping(s.ClipEnabled);
        if (s.Dirty & QPaintEngine::DirtyClipRegion)
            p_.setClipRegion(s.ClipRegion, s.ClipOperation);
        if (s.Dirty & QPaintEngine::DirtyClipPath)
            p_.setClipPath(s.ClipPath, s.ClipOperation);
    }

    template <typename Polygon>
    void DrawPolygon(const Polygon& points, QPaintEngine::PolygonDrawMode mode) const
    {
        switch (mode) {
        case QPaintEngine::PolylineMode:
            p_.drawPolyline(points);
            break;
        case QPaintEngine::ConvexMode:
            p_.drawConvexPolygon(points);
            break;
        case QPaintEngine::WindingMode:
            p_.drawPolygon(points, Qt::WindingFill);
            break;
        case QPaintEngine::OddEvenMode:
            p_.drawPolygon(points, Qt::OddEvenFill);
            break;
        }
    }

    QPainter& p_;
    QTransform baseTransform_;
    qreal baseOpacity_ = 1;
    double fontScale_ = 1.0;
};

} // namespace

TPageRecorder::TPageRecorder(std::vector<TPageOp>& ops) : QPaintEngine(QPaintEngine::AllFeatures), ops_(ops) {}

bool TPageRecorder::begin(QPaintDevice*)
{
    return true;
}

bool TPageRecorder::end()
{
    return true;
}

void TPageRecorder::updateState(const QPaintEngineState& state)
{
    // Text carries its own font.
    if ((state.state() & ~QPaintEngine::DirtyFont) != 0)
        ops_.push_back(CapturedState(state));
}

void TPageRecorder::drawRects(const QRect* rects, int count)
{
    ops_.push_back(TPageRects{ToFloat<QRectF>(rects, count), true});
}

void TPageRecorder::drawRects(const QRectF* rects, int count)
{
    ops_.push_back(TPageRects{std::vector<QRectF>(rects, rects + count), false});
}

void TPageRecorder::drawLines(const QLine* lines, int count)
{
    ops_.push_back(TPageLines{ToFloat<QLineF>(lines, count), true});
}

void TPageRecorder::drawLines(const QLineF* lines, int count)
{
    ops_.push_back(TPageLines{std::vector<QLineF>(lines, lines + count), false});
}

void TPageRecorder::drawEllipse(const QRect& r)
{
    ops_.push_back(TPageEllipse{QRectF(r), true});
}

void TPageRecorder::drawEllipse(const QRectF& r)
{
    ops_.push_back(TPageEllipse{r, false});
}

void TPageRecorder::drawPath(const QPainterPath& path)
{
    ops_.push_back(TPagePath{path});
}

void TPageRecorder::drawPoints(const QPoint* points, int count)
{
    ops_.push_back(TPagePoints{ToPolygon(points, count), true});
}

void TPageRecorder::drawPoints(const QPointF* points, int count)
{
    ops_.push_back(TPagePoints{QPolygonF(QList<QPointF>(points, points + count)), false});
}

void TPageRecorder::drawPolygon(const QPoint* points, int count, PolygonDrawMode mode)
{
    ops_.push_back(TPagePolygon{ToPolygon(points, count), mode, true});
}

void TPageRecorder::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode)
{
    ops_.push_back(TPagePolygon{QPolygonF(QList<QPointF>(points, points + count)), mode, false});
}

void TPageRecorder::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr)
{
    ops_.push_back(TPagePixmap{r, pm, sr});
}

void TPageRecorder::drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s)
{
    ops_.push_back(TPageTiledPixmap{r, pixmap, s});
}

void TPageRecorder::drawImage(const QRectF& r, const QImage& pm, const QRectF& sr, Qt::ImageConversionFlags flags)
{
    ops_.push_back(TPageImage{r, pm, sr, flags});
}

void TPageRecorder::drawTextItem(const QPointF& p, const QTextItem& textItem)
{
    // The painter draws underline, overline and strike-out as shapes itself.
    QFont font = textItem.font();
    font.setUnderline(false);
    font.setOverline(false);
    font.setStrikeOut(false);
    ops_.push_back(TPageText{p, textItem.text(), font});
}

void PlayPageOps(QPainter& painter, const std::vector<TPageOp>& ops, int recordedDpiY)
{
    const TPagePlayer player(painter, recordedDpiY);
    for (const TPageOp& op : ops)
        std::visit(player, op);
}

} // namespace lumeno
