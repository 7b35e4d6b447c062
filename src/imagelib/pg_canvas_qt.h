#pragma once
// The image's drawing surface: QPainter on a 32-bit shadow copy of the
// pixels. The shadow is written back (through the palette for 1/4/8-bit
// images) before the pixels are touched directly, and then dropped, so the
// next painting starts from the current pixels.

#include "imagelib/pg_canvas_base.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <memory>

namespace lumeno {

class TPixelGraphic;

// The image as a top-down QImage (indexed for 1, 4 and 8 bits, 4-bit
// expanded to 8) for display, printing and the clipboard.
QImage ToQImage(TPixelGraphic& Graphic);

class TPGCanvas : public TPGCanvasBase {
public:
    explicit TPGCanvas(TPixelGraphic& Graphic);
    ~TPGCanvas() override;

    // Painter on the shadow image, created from the pixels when needed;
    // pen, brush and font survive a flush. Ask for it again after any
    // direct pixel access: the flush before that access ends it. Handing it
    // out tells the image's owner that the picture changes, so a view
    // schedules a repaint, which flushes before it reads the pixels.
    QPainter& Painter();

    void FlushToGraphic() override;
    void ReleaseHandle() override;

private:
    void CreateHandle();

    TPixelGraphic& FGraphic;
    QImage FShadow;
    std::unique_ptr<QPainter> FPainter;
    QPen FPen;
    QBrush FBrush;
    QFont FFont;
};

} // namespace lumeno
