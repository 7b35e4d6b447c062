#pragma once
// The frames the album puts around its work pictures, reached through one
// table that starts with the image effects' routines (tests may replace
// them); a frame whose routine is empty is left out.

#include <functional>

namespace lumeno {

class TPixelGraphic;

struct TAlbumFrames {
    std::function<void(TPixelGraphic& Image)> AddWhiteFrame;
    std::function<void(TPixelGraphic& Image, int PenWidth, int ShadowSize)> AddSoftShadow;
    std::function<void(TPixelGraphic& Image, int Width)> AddBevel;
};

// The installed routines (shared by every preview; set them on the main
// thread while no preview runs).
TAlbumFrames& AlbumFrames();

// Puts a border effect (TAlbumBorderEffect) on the work picture; ppiX is the
// printer's horizontal resolution, which sizes the shadow.
void ApplyAlbumBorderEffect(TPixelGraphic& picture, int effect, int ppiX);

} // namespace lumeno
