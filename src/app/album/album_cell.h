#pragma once
// Preparing one album entry for its cell, on a worker: its caption is made
// (reading the picture's date when the caption shows it), the picture is
// loaded at the size the cell needs, turned, fitted, given its embedded
// caption and border effect. Recording it on the page is the main thread's.

#include "app/album/album_host.h"
#include "app/album/album_options.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/metafile/metafile.h"

#include <memory>
#include <string>

namespace lumeno {

struct TAlbumCellJob {
    int Index = 0;
    std::string Path;
    int Rotation = 0;
    TRect Cell;
    int PpiX = 600;
    int PpiY = 600;
    TAlbumOptions Options;
    // The entry's own caption.
    std::string Caption;
    TExifDateReader ReadDate;
};

struct TAlbumCellPicture {
    int Index = 0;
    TRect Cell;
    TRect ImageRect;
    // One of the two when the entry loaded.
    std::unique_ptr<TPixelGraphic> Picture;
    std::unique_ptr<TMetafile> Metafile;
    // Why it did not load, when it did not.
    std::string Error;
    // As the caption choice makes it, date included.
    std::string CaptionText;
};

// Never raises: a failure comes back in Error.
TAlbumCellPicture PrepareAlbumCell(const TAlbumCellJob& job);

// A copy of Source turned clockwise by Angle degrees, every pixel kept;
// nullptr for an angle that is not 90, 180, 270 or 360.
std::unique_ptr<TPixelGraphic> RotatedCopy(TPixelGraphic& source, int angle);

} // namespace lumeno
