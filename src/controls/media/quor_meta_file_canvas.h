#pragma once
// The drawing surface of one recorded page: a painter on the page's picture
// with the drawing calls the print producers use. Text is placed by its top
// edge and drawn in the font colour; lengths are printer pixels.

#include "controls/media/page_metafile.h"
#include "platform/types.h"

#include <QPainter>

#include <string>

namespace lumeno {

class TQuorMetaFileCanvas {
public:
    // Starts recording on the page; the page must outlive the canvas.
    explicit TQuorMetaFileCanvas(TPageMetafile& page);
    // Ends the recording, which closes the page.
    ~TQuorMetaFileCanvas();
    TQuorMetaFileCanvas(const TQuorMetaFileCanvas&) = delete;
    TQuorMetaFileCanvas& operator=(const TQuorMetaFileCanvas&) = delete;

    // For everything the calls below do not cover (images, shapes).
    QPainter& Painter() { return painter_; }

    QFont Font() const { return painter_.font(); }
    void SetFont(const QFont& font) { painter_.setFont(font); }
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color) { fontColor_ = color; }
    QPen Pen() const { return painter_.pen(); }
    // A pen one pixel wide or less draws one device pixel wide, whatever the
    // scale the page is shown or printed at.
    void SetPen(const QPen& pen);
    QBrush Brush() const { return painter_.brush(); }
    void SetBrush(const QBrush& brush) { painter_.setBrush(brush); }
    // Carries font, font colour, brush and pen over from another page.
    void TakeStateFrom(const TQuorMetaFileCanvas& other);

    int TextWidth(const std::string& text) const;
    // Ascent plus descent of the font.
    int TextHeight() const;
    // Leading inside the text height above the em, and the font's line gap.
    int InternalLeading() const;
    int ExternalLeading() const;

    // Writes text with its top-left corner at (x, y); a brush that is not
    // clear fills the text's background.
    void TextOut(int x, int y, const std::string& text);
    // The same, clipped to the rectangle.
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
    void LineTo(int x, int y);

private:
    QPainter painter_;
    TColor fontColor_ = clBlack;
    QPoint penPos_;
};

} // namespace lumeno
