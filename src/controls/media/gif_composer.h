#pragma once
// The picture an animation shows: frames drawn one over the other on the
// logical screen, with their transparency and disposal methods. Areas no
// frame covered are transparent.

#include "controls/media/gif_frame.h"

#include <QImage>

namespace lumeno {

// An uninitialised premultiplied ARGB picture; EGIFImage when memory for it
// cannot be had.
QImage NewGIFImage(int width, int height);

class TGIFComposer {
public:
    // A transparent screen of the given size; EGIFImage when it cannot be had.
    void Reset(int width, int height);
    // Draws the frame, first keeping what lies under it when its disposal
    // asks for it to come back.
    void Compose(const TGIFFrame& frame);
    // Undoes or keeps the frame as its disposal method says, once it has
    // been shown.
    void Dispose(const TGIFFrame& frame);

    const QImage& Image() const { return image_; }
    bool IsTransparentAt(int x, int y) const;

private:
    QRect Clip(const TGIFFrame& frame) const;

    QImage image_;
    QImage saved_;
    const TGIFFrame* savedFor_ = nullptr;
};

} // namespace lumeno
