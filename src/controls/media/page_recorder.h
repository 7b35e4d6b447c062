#pragma once
// A paint engine that keeps what a page's painter draws as a list of calls in
// memory: state changes as the painter hands them over, shapes, images
// (shared, never encoded) and text as text, font and baseline. Played back
// onto any painter, it draws the same at the painter's current placement.

#include <QFont>
#include <QImage>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>

#include <variant>
#include <vector>

namespace lumeno {

// The parts of the painter's state named in Dirty; the rest is unused.
struct TPageState {
    QPaintEngine::DirtyFlags Dirty;
    QPen Pen;
    QBrush Brush;
    QPointF BrushOrigin;
    Qt::BGMode BackgroundMode = Qt::TransparentMode;
    QBrush BackgroundBrush;
    QTransform Transform;
    bool ClipEnabled = false;
    QRegion ClipRegion;
    QPainterPath ClipPath;
    Qt::ClipOperation ClipOperation = Qt::NoClip;
    QPainter::RenderHints Hints;
    QPainter::CompositionMode Composition = QPainter::CompositionMode_SourceOver;
    qreal Opacity = 1;
};

// Integer shapes are played back through the integer calls, which some
// engines rasterise differently from the same shapes in floating point.
struct TPageRects {
    std::vector<QRectF> Rects;
    bool Integral = false;
};
struct TPageLines {
    std::vector<QLineF> Lines;
    bool Integral = false;
};
struct TPagePoints {
    QPolygonF Points;
    bool Integral = false;
};
struct TPagePolygon {
    QPolygonF Points;
    QPaintEngine::PolygonDrawMode Mode = QPaintEngine::OddEvenMode;
    bool Integral = false;
};
struct TPageEllipse {
    QRectF Rect;
    bool Integral = false;
};
struct TPagePath {
    QPainterPath Path;
};
struct TPageImage {
    QRectF Target;
    QImage Image;
    QRectF Source;
    Qt::ImageConversionFlags Flags;
};
struct TPagePixmap {
    QRectF Target;
    QPixmap Pixmap;
    QRectF Source;
};
struct TPageTiledPixmap {
    QRectF Target;
    QPixmap Pixmap;
    QPointF Offset;
};
// Decorations (underline and the like) come as shapes of their own.
struct TPageText {
    QPointF Baseline;
    QString Text;
    QFont Font;
};

using TPageOp = std::variant<TPageState, TPageRects, TPageLines, TPagePoints, TPagePolygon, TPageEllipse,
                             TPagePath, TPageImage, TPagePixmap, TPageTiledPixmap, TPageText>;

class TPageRecorder : public QPaintEngine {
public:
    explicit TPageRecorder(std::vector<TPageOp>& ops);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override;

    void drawRects(const QRect* rects, int count) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLine* lines, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRect& r) override;
    void drawEllipse(const QRectF& r) override;
    void drawPath(const QPainterPath& path) override;
    void drawPoints(const QPoint* points, int count) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s) override;
    void drawImage(const QRectF& r, const QImage& pm, const QRectF& sr,
                   Qt::ImageConversionFlags flags = Qt::AutoColor) override;
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override;

private:
    std::vector<TPageOp>& ops_;
};

// Plays the calls onto the painter on top of its current state. Fonts keep
// the pixel size they had on the recording device (recordedDpiY).
void PlayPageOps(QPainter& painter, const std::vector<TPageOp>& ops, int recordedDpiY);

} // namespace lumeno
