#pragma once
// The main window's print commands, recorded on its preview printer: the
// folder listing, and the selected pictures one per page, fitted to the
// printable area and sent at 240 pixels per printed inch. The caller shows
// the preview afterwards.

#include "imagelib/pixel_graphic.h"
#include "platform/types.h"

#include <memory>
#include <string>

namespace lumeno {

class TPreviewPrinter;
struct TPrintList;

struct TPrintPlacement {
    TRect Target;      // on the page, in printer pixels
    int SendWidth = 0; // the picture resampled to 240 pixels per inch
    int SendHeight = 0;
};

inline constexpr int kPrintPixelsPerInch = 240;

// Where a Width x Height picture goes in the printable area (Left, Top,
// PrintableWidth x PrintableHeight) of a page with the given resolution.
TPrintPlacement PrintImagePlacement(int Width, int Height, int Left, int Top, int PrintableWidth,
                                    int PrintableHeight, int PixelsPerInchX, int PixelsPerInchY);

// Header = the folder (18 pt italic), footer left, page numbers at the
// bottom, margins 0.75 / 0.5 inch, header and footer 0.25 inch; then the
// list is paginated.
void PrintFolderListing(TPreviewPrinter& PP1, const std::string& Folder, const TPrintList& List);

// The printable area of a page as the printer's margins leave it, in
// printer pixels, and the printer's resolution.
struct TPrintArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
};

// Of the open document: the printer takes its page setup when a document
// begins.
TPrintArea PrintableArea(TPreviewPrinter& PP1);

// A picture made ready for its page.
struct TPrintPicture {
    TPrintPlacement Place;
    std::unique_ptr<TPixelGraphic> Sent;
};

// Any thread: the picture at Path read and resampled to its send size for
// Area; raises when it cannot be read. Progress sees the reading and the
// resampling, and may abort them (the picture is then incomplete).
TPrintPicture ReadPrintPicture(const std::string& Path, const TPrintArea& Area,
                               const TPGProgressEvent& Progress);

// Main thread: Picture on the next page of PP1's open document; Page counts
// the pictures recorded before it.
void RecordPrintPicture(TPreviewPrinter& PP1, int Page, TPrintPicture& Picture);

} // namespace lumeno
