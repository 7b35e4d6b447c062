#pragma once
// The drawing state a metafile's records act on, and the drawing itself.
// Coordinates given to the drawing functions are logical; the page mapping
// (window and viewport), the world transform and the placement of the
// picture on the painter turn them into painter pixels.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QTransform>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumeno {

// Map modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

// Text alignment flags.
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// Text output options.
constexpr unsigned ETO_OPAQUE = 2;
constexpr unsigned ETO_CLIPPED = 4;

// Raster operations of the blits.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

struct TLogFont {
    int Height = 0;
    int Width = 0;
    int Escapement = 0; // tenths of a degree, counter-clockwise
    int Weight = 0;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QString FaceName;
};

// A pen, brush, font or palette of the object table. Regions and other
// kinds only hold their slot.
struct TGdiObject {
    enum TKind { gkPen, gkBrush, gkFont, gkPalette, gkOther } Kind = gkOther;
    QPen Pen;
    QBrush Brush;
    TLogFont Font;
    QList<QRgb> Palette;
};

struct TDCState {
    int MapMode = MM_TEXT;
    QPointF WindowOrg, ViewportOrg;
    QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
    QTransform World;
    QPen Pen{QColor(Qt::black), 0};
    QBrush Brush{Qt::white};
    TLogFont Font;
    QList<QRgb> Palette;
    QColor BkColor{Qt::white};
    QColor TextColor{Qt::black};
    bool OpaqueBk = true;
    unsigned TextAlign = 0;
    Qt::FillRule FillRule = Qt::OddEvenFill;
    int Rop2 = 13;
    int StretchMode = 1;
    bool ArcClockwise = false;
    QPointF Position;
    // In painter pixels, so later mapping changes leave it in place.
    std::optional<QRegion> Clip;
};

class TMetafileDC {
public:
    // unitsPerMM: reference-device units per millimetre, for the fixed map
    // modes. toPainter places reference-device units on the painter.
    TMetafileDC(QPainter& painter, const QTransform& toPainter, QSizeF unitsPerMM);
    ~TMetafileDC();
    TMetafileDC(const TMetafileDC&) = delete;
    TMetafileDC& operator=(const TMetafileDC&) = delete;

    TDCState& State() { return state_; }
    // Raises EMetafileError past 4096 saved states.
    void SaveDC();
    // Relative (negative) or absolute (positive) level; false when none.
    bool RestoreDC(int level);

    // Colours: a palette index (0x01 in the high byte) goes through the
    // selected palette.
    QColor ColorOf(std::uint32_t colorRef) const;

    // --- objects --------------------------------------------------------
    static QPen MakePen(int style, double width, QColor color);
    static QBrush MakeBrush(int style, QColor color, int hatch);
    void Select(const TGdiObject& object);

    // --- clipping ---------------------------------------------------------
    void IntersectClipRect(const QRectF& rect);
    void ExcludeClipRect(const QRectF& rect);
    // Device-unit rectangles of a region record; mode RGN_AND..RGN_COPY.
    void SelectClipRects(const std::vector<QRectF>& rects, int mode);

    // --- drawing ------------------------------------------------------------
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    // Lines joined from the current position (ArcTo, PolylineTo ...).
    void ContinueFigure(const QPainterPath& segment);
    void Stroke(const QPainterPath& path);
    void FillAndStroke(const QPainterPath& path);
    void SetPixel(QPointF p, QColor color);
    void PatBlt(const QRectF& rect, std::uint32_t rop);
    void DrawImage(const QRectF& dest, const QImage& image, const QRectF& source, std::uint32_t rop);
    // Text at a logical point; dx holds per-character advances (logical).
    void TextOut(QPointF p, const QString& text, unsigned options, const std::optional<QRectF>& rect,
                 const std::vector<int>& dx);

    // Arc outline from the box and the radial points, as GDI draws it.
    QPainterPath ArcPath(const QRectF& box, QPointF start, QPointF end) const;

    // --- paths ----------------------------------------------------------------
    void BeginPath();
    void EndPath();
    void CloseFigure();
    void AbortPath();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();

    // The full transform from logical units to painter pixels; raises
    // EMetafileError when the file's mapping is out of all proportion.
    QTransform Transform() const;

private:
    QTransform PageTransform() const;
    void Prepare(bool logical);
    bool ApplyRop2(QPen& pen, QBrush& brush);
    void Draw(const QPainterPath& path, bool fill, bool stroke);
    QFont PainterFont(double scale) const;
    QRect PixelRect(const QRectF& rect) const;
    QRegion DeviceRegion(const QRectF& rect) const;

    QPainter& painter_;
    QTransform toPainter_;
    QSizeF unitsPerMM_;
    QRect deviceRect_;
    TDCState state_;
    std::vector<TDCState> saved_;
    std::optional<QPainterPath> openPath_;
    QPainterPath path_;
};

} // namespace lumeno
