#pragma once
// The arithmetic of an album page: cell rectangles, fitting a picture into
// its cell, the work picture's size at the chosen quality and the caption
// text and its places. Lengths are printer pixels unless said otherwise.

#include "imagelib/pixel_graphic.h"
#include "platform/types.h"

#include <string>
#include <vector>

namespace lumeno {

enum TAlbumQuality { aqGood, aqBetter, aqBest };
enum TAlbumBorderEffect {
    abeNone,
    abeDropShadow,
    abeSoftRectangle,
    abeSoftEllipse,
    abeWhiteBorder,
    abeBevel
};
enum TAlbumCaptionPlacement { acpUnderImage, acpEmbedded };
enum TAlbumEmbeddedPosition {
    aepTopLeft,
    aepBottomLeft,
    aepTopCenter,
    aepBottomCenter,
    aepTopRight,
    aepBottomRight
};

// The page and its margins, all in printer pixels.
struct TAlbumPage {
    int Width = 0;
    int Height = 0;
    int MarginLeft = 0;
    int MarginTop = 0;
    int MarginRight = 0;
    int MarginBottom = 0;
};

struct TAlbumCells {
    int CellWidth = 0;
    int CellHeight = 0;
    // Row by row, Rows x Cols rectangles.
    std::vector<TRect> Cells;
};

TAlbumCells AlbumCellLayout(const TAlbumPage& page, int rows, int cols);

// The picture's rectangle centred in the cell, border pixels kept clear on
// the constraining sides; ratio is the picture's height / width. Never
// smaller than 1 x 1.
TRect FitInCell(const TRect& cell, double ratio, int border);

// Work picture resolution in pixels per inch of paper, and its stretch mode.
int QualityPixelsPerInch(int quality);
TStretchMode QualityStretchMode(int quality);
// The view's stretch mode while a preview runs.
TStretchMode QualityViewStretchMode(int quality);

// The work picture's size for an image rectangle w x h at printer
// resolution ppiX x ppiY; at least 1 x 1.
TPoint WorkPictureSize(int w, int h, int ppiX, int ppiY, int quality);

// Point size of the caption font embedded in the work picture.
int EmbeddedFontSize(int quality);

// The caption for an entry by the caption choice (TAlbumCaption).
std::string AlbumCaptionText(int choice, const std::string& path, const std::string& caption,
                             const std::string& exifDate, const std::string& custom);

// Where a caption under the image starts (text left and top).
TPoint UnderImageCaptionOrigin(const TRect& cell, int textWidth, int heightOfX);

// The box of an embedded caption in a w x h picture: text extent + 10 each
// way, 10 pixels from the picture's edges at the given position.
TRect EmbeddedCaptionBox(int w, int h, int textWidth, int textHeight, int position);

// The 0-based page and cell of entry i with perPage cells a page.
inline int AlbumPageOf(int i, int perPage)
{
    return i / perPage;
}
inline int AlbumCellOf(int i, int perPage)
{
    return i % perPage;
}
inline int AlbumPageCount(int entries, int perPage)
{
    return (entries + perPage - 1) / perPage;
}

// The "i/count" text of the entry panel.
std::string AlbumCountText(int done, int count);

} // namespace lumeno
