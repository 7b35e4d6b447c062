#pragma once
// Builds a thumbnail sheet: every file becomes a fitted, optionally
// sharpened, bordered and bevelled thumbnail on all cores; shadows, copies
// into the sheet, names, title and footer follow in order on the caller's
// thread.

#include "app/sheet/sheet_layout.h"
#include "platform/exception.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

class TPixelGraphic;

LUMENO_DECLARE_EXCEPTION(ESheetError, Exception);

struct TSheetOptions {
    int Size = 96;
    int Cols = 6;
    int HSpace = 20;
    int VSpace = 30;
    bool IncFileNames = true;
    TColor BGColor = clWhite;
    TColor FontColor = clBlack;
    bool AutoSharpen = true;
    int SharpeningFactor = 50;
    bool UseBGImage = false;
    std::string BGImage;
    bool AddBorder = true;
    TColor BorderColor = clRed;
    bool DropShadow = true;
    bool Bevel = false;
    bool Title = false;
    std::string TitleText = "Glimpset created by Lumeno";
    std::string TitleFont = "Arial";
    TColor TitleColor = clRed;
    int TitleSize = 24;
    bool Footer = false;
    std::string FooterText;
    std::string FooterFont = "Arial";
    TColor FooterColor = clMaroon;
    int FooterSize = 8;
};

// The outermost rows and columns of a 24-bit image in the colour.
void BorderImage(TPixelGraphic& Image, TColor Color);
// Darkens six rings right of and under the picture at (X, Y) of W x H.
void DropShadowImage(TPixelGraphic& Sheet, int X, int Y, int W, int H);
// Repeats the tile over the sheet from (0, 0).
void TileBackground(TPixelGraphic& Sheet, TPixelGraphic& Tile);
// One file as its sheet thumbnail (decoded scaled where the format allows,
// fitted by the file's full dimensions).
std::unique_ptr<TPixelGraphic> MakeThumbnail(const std::string& FileName, const TSheetOptions& Options);
// tH and fH: the title's and footer's bands (0 when left out).
int TitleBand(const TSheetOptions& Options);
int FooterBand(const TSheetOptions& Options);
TSheetGrid SheetGrid(const TSheetOptions& Options);

class TSheetBuilder {
public:
    // Width and height, before any file is read.
    std::function<void(int Width, int Height)> OnSize;
    // Each file as it goes into the sheet (from 1), on the calling thread.
    std::function<void(int Number, int Count)> OnProcessing;
    // A file or the background that could not be read; building goes on.
    std::function<void(const std::string& Message)> OnError;

    // Raises ESheetError for a sheet too large to hold.
    std::unique_ptr<TPixelGraphic> Build(const TSheetOptions& Options, const std::vector<std::string>& Files);

private:
    void Background(TPixelGraphic& Sheet, const TSheetOptions& Options);
    void DrawNames(TPixelGraphic& Sheet, const TSheetOptions& Options, const std::vector<std::string>& Files,
                   const std::vector<bool>& Placed);
    void DrawBands(TPixelGraphic& Sheet, const TSheetOptions& Options);
};

} // namespace lumeno
