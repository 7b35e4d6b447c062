#pragma once
// Builds a thumbnail sheet: every file becomes a fitted, optionally
// sharpened, bordered and bevelled thumbnail on all cores; shadows, copies
// into the sheet, names, title and footer follow in order on the caller's
// thread, either at once or as the thumbnails come back through the event
// loop.

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

// The outermost rows and columns of the image, made 24-bit, in the colour.
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
    // The finished sheet, on the main thread.
    using TDoneEvent = std::function<void(std::unique_ptr<TPixelGraphic> Sheet)>;

    TSheetBuilder();
    ~TSheetBuilder();
    TSheetBuilder(const TSheetBuilder&) = delete;
    TSheetBuilder& operator=(const TSheetBuilder&) = delete;

    // Width and height, before any file is read.
    std::function<void(int Width, int Height)> OnSize;
    // Each file as it goes into the sheet (from 1), on the calling thread.
    std::function<void(int Number, int Count)> OnProcessing;
    // A file or the background that could not be read; building goes on.
    std::function<void(const std::string& Message)> OnError;

    // Returns with the whole sheet, for callers without an event loop.
    // Raises ESheetError for a sheet too large to hold.
    std::unique_ptr<TPixelGraphic> Build(const TSheetOptions& Options, const std::vector<std::string>& Files);

    // Main thread. Returns once the sheet is laid out; the thumbnails are
    // made on all cores and go into the sheet in order as they come back
    // through the event loop, then OnDone gets the sheet. A build running is
    // stopped first. Raises ESheetError as Build does.
    void Start(const TSheetOptions& Options, const std::vector<std::string>& Files, TDoneEvent OnDone);
    // Ends the build after the thumbnails in work: nothing more of it is
    // reported and its sheet is dropped. Safe from inside the events.
    void Stop();
    bool Running() const { return run_ != nullptr; }

private:
    struct TRun;

    std::shared_ptr<TRun> Begin(const TSheetOptions& Options, const std::vector<std::string>& Files);
    void Background(TPixelGraphic& Sheet, const TSheetOptions& Options);
    void Place(TRun& Run, int Index, TPixelGraphic* Thumb);
    std::unique_ptr<TPixelGraphic> Finish(TRun& Run);
    void Arrived(int Index, TPixelGraphic* Thumb);
    void Finished();
    void DrawNames(TRun& Run);
    void DrawBands(TPixelGraphic& Sheet, const TSheetOptions& Options);

    std::shared_ptr<TRun> run_;
};

} // namespace lumeno
