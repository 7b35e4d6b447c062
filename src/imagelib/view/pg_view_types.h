#pragma once
// Kinds and event types shared by the view control and its parts.

#include "imagelib/palettes.h"
#include "platform/types.h"

#include <cstdint>

namespace lumeno {

enum TStretch : std::uint8_t {
    sNeverKAR,
    sAlways,
    sAlwaysKAR,
    sShrink,
    sShrinkKAR,
    sEnlarge,
    sEnlargeKAR,
    sAlwaysLongerEdgeKAR,
    sShrinkLongerEdgeKAR,
    sEnlargeShrinkLongerEdgeKAR,
    sEnlargeLongerEdgeKAR,
    sZoomKAR
};

enum TTiling : std::uint8_t { tNone, tRepeat, tMirrorHorizontal, tMirrorVertical, tMirror };

enum TActionMode : std::uint8_t {
    amMoveImage,
    amMoveResizeCreateSelection,
    amMoveSelection,
    amMoveSelectionMoveImage,
    amCreateSelection,
    amNone
};

// Palette choices for palette screens: pBlackWhite .. pOptimized252Sys16
// for true-colour images, .. pSource for paletted ones.
using TPalette8BitSys24BitGraphic = TPaletteIdent;
using TPalette8BitSys8BitGraphic = TPaletteIdent;

} // namespace lumeno
