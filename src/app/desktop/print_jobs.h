#pragma once
// The main window's print commands, recorded on its preview printer: the
// folder listing, and the selected pictures one per page, fitted to the
// printable area and sent at 240 pixels per printed inch. The caller shows
// the preview afterwards.

#include "platform/types.h"

#include <functional>
#include <string>
#include <vector>

namespace lumeno {

class TdfsStatusBar;
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

// One page per printable picture of Paths (others are skipped); an
// unreadable picture says so and is skipped. Progress gets the percentage
// of Paths done. Returns the number of pictures printed.
int PrintImages(TPreviewPrinter& PP1, const std::vector<std::string>& Paths,
                const std::function<void(int Percent)>& Progress);
// The same with the progress as a gauge in panel 4 of the main window's
// status bar, which is a text panel again afterwards.
int PrintImages(TPreviewPrinter& PP1, const std::vector<std::string>& Paths, TdfsStatusBar& SB1);

} // namespace lumeno
