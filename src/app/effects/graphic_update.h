#pragma once
// Holds an image's change notification until the scope ends, so a whole
// effect reports one change even when it fails half-way.

#include "imagelib/pixel_graphic.h"

namespace lumeno {

class TGraphicUpdate {
public:
    explicit TGraphicUpdate(TPixelGraphic& Graphic) : FGraphic(Graphic) { FGraphic.BeginUpdate(); }
    ~TGraphicUpdate() { FGraphic.EndUpdate(); }
    TGraphicUpdate(const TGraphicUpdate&) = delete;
    TGraphicUpdate& operator=(const TGraphicUpdate&) = delete;

private:
    TPixelGraphic& FGraphic;
};

} // namespace lumeno
