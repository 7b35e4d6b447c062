#pragma once
// Draws an image stretched into a tile, converting only the tile's visible
// part: each screen pixel takes its nearest source pixel, so the cost
// follows the screen area, not the image size.

#include <QImage>
#include <QRect>

namespace lumeno {

class TPixelGraphic;

// Visible is in tile coordinates (0 .. TileWidth, 0 .. TileHeight). The
// result is an RGB32 image of Visible's size; FlipH/FlipV mirror the tile.
QImage PGRenderTilePart(TPixelGraphic& Graphic, int TileWidth, int TileHeight, const QRect& Visible,
                        bool FlipH, bool FlipV);

} // namespace lumeno
