#pragma once
// A list of equally sized pictures drawn by index: the kit's tree images and
// the font combo's glyphs.

#include "platform/types.h"

#include <QColor>
#include <QPixmap>
#include <vector>

namespace lumeno {

class TfcImageList {
public:
    TfcImageList(int width, int height) : width_(width), height_(height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }
    // The picture is scaled to the list's size when it differs.
    void Add(const QPixmap& image);
    // A null pixmap for an index out of range.
    QPixmap Image(int index) const;

    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor value) { bkColor_ = value; }
    // Selected images are blended with this colour.
    QColor BlendColor() const { return blendColor_; }
    void SetBlendColor(const QColor& value) { blendColor_ = value; }

private:
    int width_;
    int height_;
    std::vector<QPixmap> images_;
    TColor bkColor_ = clNone;
    QColor blendColor_;
};

} // namespace lumeno
