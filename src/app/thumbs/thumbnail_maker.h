#pragma once
// One thumbnail cell: a picture loaded at the smallest scale that still
// covers the cell, resampled when larger than the cell, and placed centred
// horizontally and top-aligned on a square of the list's colour. Plain
// functions over TPixelGraphic, safe on worker threads (no message boxes).

#include "imagelib/pixel_graphic.h"
#include "platform/types.h"

#include <QImage>
#include <string>

namespace lumeno {

// The thumbnail sizes of the size menu.
inline constexpr int kThumbnailSizes[] = {64, 80, 96, 128, 256};

struct TThumbPlacement {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// Where a picture of the given size goes in a Size x Size cell: smaller
// pictures keep their size, larger ones shrink to fit (never below 1 pixel).
TThumbPlacement ThumbCellPlacement(int SourceWidth, int SourceHeight, int Size);

// The work images of one load, made once and reused for every item.
struct TThumbWork {
    TThumbWork();

    TPixelGraphic Source;
    TPixelGraphic Scaled;
    TPixelGraphic Cell;
};

// Our question-mark picture, the thumbnail of a file that cannot be read.
void LoadQuestionMark(TPixelGraphic& Image);

// Loads the file into Work.Source (JPEGs scaled down to what a Size cell
// needs); raises the library's error when it cannot.
void LoadThumbnailSource(const std::string& Path, int Size, TPixelGraphic& Source);

// Work.Cell := the Size x Size 24-bit cell of Work.Source on Fill.
void ComposeThumbnail(TThumbWork& Work, int Size, TColor Fill);

// Load and compose; an unreadable file gets the question mark. False then.
bool MakeThumbnailCell(const std::string& Path, int Size, TColor Fill, TThumbWork& Work);

// The cell as a 24-bit picture for the list.
QImage ThumbnailImage(TPixelGraphic& Cell);

} // namespace lumeno
