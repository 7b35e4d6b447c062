#include "app/sheet/sheet_builder.h"

#include "app/effects/frames.h"
#include "app/effects/gdi_draw.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/format_registry.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_canvas_qt.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/in_order_pool.h"
#include "platform/qt/qt_dialogs.h"

#include <QPainter>
#include <algorithm>
#include <filesystem>

namespace lumeno {
namespace {

void PutPixel(std::uint8_t* row, int x, TColor color)
{
    row[3 * x] = static_cast<std::uint8_t>(GetBValue(color));
    row[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(color));
    row[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(color));
}

void Darken(TPixelGraphic& sheet, int x, int y, int ring)
{
    if (x < 0 || y < 0 || x >= sheet.GetWidth() || y >= sheet.GetHeight())
        return;
    std::uint8_t* pixel = sheet.GetScanLine(y) + 3 * x;
    for (int c = 0; c < 3; ++c)
        pixel[c] = ShadowValue(pixel[c], ring);
}

int BandOf(bool shown, const std::string& font, int size)
{
    if (!shown)
        return 0;
    return TextBandHeight(GdiTextHeight(GdiFont(QString::fromStdString(font), size)));
}

// Text centred across the sheet at Y, or "Text Too Long" from its left.
void DrawBand(QPainter& painter, int sheetWidth, int y, const std::string& text, const std::string& font, int size,
              TColor color)
{
    painter.setFont(GdiFont(QString::fromStdString(font), size));
    painter.setPen(ToQColor(color));
    const QString shown = QString::fromStdString(text);
    const int left = TitleLeft(sheetWidth, GdiTextWidth(painter.font(), shown));
    if (left < 0)
        GdiTextOut(painter, 0, y, QStringLiteral("Text Too Long"));
    else
        GdiTextOut(painter, left, y, shown);
}

// A file that cannot be read leaves its cell empty; it is reported in order.
std::unique_ptr<TPixelGraphic> ThumbnailOrNothing(const std::string& fileName, const TSheetOptions& options)
{
    try {
        return MakeThumbnail(fileName, options);
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

void BorderImage(TPixelGraphic& Image, TColor Color)
{
    const int w = Image.GetWidth();
    const int h = Image.GetHeight();
    if (w <= 0 || h <= 0)
        return;
    Ensure24Bit(Image);
    Image.Flush();
    for (int y : {0, h - 1}) {
        std::uint8_t* row = Image.GetScanLine(y);
        for (int x = 0; x < w; ++x)
            PutPixel(row, x, Color);
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = Image.GetScanLine(y);
        PutPixel(row, 0, Color);
        PutPixel(row, w - 1, Color);
    }
}

void DropShadowImage(TPixelGraphic& Sheet, int X, int Y, int W, int H)
{
    Ensure24Bit(Sheet);
    Sheet.Flush();
    for (int i = 0; i <= 5; ++i) {
        for (int x = X + 6; x <= X + W + i; ++x)
            Darken(Sheet, x, Y + H + i, i);
        for (int y = Y + 6; y <= Y + H + i - 1; ++y)
            Darken(Sheet, X + W + i, y, i);
    }
}

void TileBackground(TPixelGraphic& Sheet, TPixelGraphic& Tile)
{
    const int tw = Tile.GetWidth();
    const int th = Tile.GetHeight();
    if (tw <= 0 || th <= 0)
        return;
    for (int y = 0; y < Sheet.GetHeight(); y += th)
        for (int x = 0; x < Sheet.GetWidth(); x += tw)
            Sheet.CopyRect(x, y, tw, th, 0, 0, Tile);
}

std::unique_ptr<TPixelGraphic> MakeThumbnail(const std::string& FileName, const TSheetOptions& Options)
{
    auto loaded = std::make_unique<TPixelGraphic>();
    loaded->LoadFromFileAtLeast(FileName, Options.Size, Options.Size);
    int width = loaded->GetWidth();
    int height = loaded->GetHeight();
    // A JPEG decoded at 1/8 would round the fit differently from the file.
    TGraphicInfo info;
    if (GetGraphicFileInfo(FileName, 0, info) && info.Width > 0 && info.Height > 0) {
        width = info.Width;
        height = info.Height;
    }
    const TSheetSize fitted = FittedSize(width, height, Options.Size);
    auto thumb = std::make_unique<TPixelGraphic>();
    thumb->SetStretchMode(smPrecise);
    thumb->SetDimensions(fitted.Width, fitted.Height, pf24Bit);
    thumb->StretchFrom(*loaded);
    if (Options.AutoSharpen) {
        TConvFilter sharpen;
        sharpen.SetSharpenKernel(dsTent, false, 0.75L, Options.SharpeningFactor);
        // The filter keeps its destination's format: a palette picture
        // would make the 24-bit thumbnail a palette one.
        loaded->Assign(thumb.get());
        loaded->ApplyFilter(sharpen, *thumb);
        std::swap(loaded, thumb);
    }
    if (Options.AddBorder)
        BorderImage(*thumb, Options.BorderColor);
    if (Options.Bevel)
        AddBevel(*thumb, 6);
    return thumb;
}

int TitleBand(const TSheetOptions& Options)
{
    return BandOf(Options.Title, Options.TitleFont, Options.TitleSize);
}

int FooterBand(const TSheetOptions& Options)
{
    return BandOf(Options.Footer, Options.FooterFont, Options.FooterSize);
}

TSheetGrid SheetGrid(const TSheetOptions& Options)
{
    return {Options.Cols, Options.Size, Options.HSpace, Options.VSpace, TitleBand(Options), FooterBand(Options)};
}

struct TSheetBuilder::TRun {
    TSheetOptions Options;
    std::vector<std::string> Files;
    TSheetGrid Grid;
    std::unique_ptr<TPixelGraphic> Sheet;
    std::vector<bool> Placed;
    // Builds through the event loop (main thread).
    TDoneEvent OnDone;
    // Last: its workers read the files and options.
    std::unique_ptr<TInOrderPool> Pool;
};

TSheetBuilder::TSheetBuilder() = default;

TSheetBuilder::~TSheetBuilder()
{
    Stop();
}

void TSheetBuilder::Background(TPixelGraphic& Sheet, const TSheetOptions& Options)
{
    Sheet.Clear();
    if (!Options.UseBGImage)
        return;
    try {
        TPixelGraphic tile;
        tile.LoadFromFile(Options.BGImage);
        TileBackground(Sheet, tile);
    } catch (const std::exception&) {
        if (OnError)
            OnError("Error loading file " + Options.BGImage);
    }
}

std::shared_ptr<TSheetBuilder::TRun> TSheetBuilder::Begin(const TSheetOptions& Options,
                                                          const std::vector<std::string>& Files)
{
    auto run = std::make_shared<TRun>();
    run->Options = Options;
    run->Files = Files;
    run->Grid = SheetGrid(Options);
    const TSheetSize size = SheetSize(run->Grid, static_cast<int>(Files.size()));
    if (SheetTooLarge(size))
        throw ESheetError("The glimpset would be " + std::to_string(size.Width) + " X " +
                          std::to_string(size.Height) +
                          " pixels, too large to make. Use fewer columns, a smaller size or fewer files.");
    if (OnSize)
        OnSize(size.Width, size.Height);

    run->Sheet = std::make_unique<TPixelGraphic>();
    TPixelGraphic& sheet = *run->Sheet;
    sheet.SetStretchMode(smPrecise);
    sheet.BeginUpdate();
    sheet.SetFillColor(Options.BGColor);
    sheet.SetDimensions(size.Width, size.Height, pf24Bit);
    Background(sheet, Options);
    run->Placed.assign(Files.size(), false);
    return run;
}

void TSheetBuilder::Place(TRun& Run, int Index, TPixelGraphic* Thumb)
{
    if (OnProcessing)
        OnProcessing(Index + 1, static_cast<int>(Run.Files.size()));
    if (!Thumb) {
        if (OnError)
            OnError("Error loading file " + Run.Files[static_cast<size_t>(Index)]);
        return;
    }
    const TPoint at = PicturePlace(Run.Grid, CellOrigin(Run.Grid, Index), Thumb->GetWidth(), Thumb->GetHeight());
    if (Run.Options.DropShadow)
        DropShadowImage(*Run.Sheet, at.X, at.Y, Thumb->GetWidth(), Thumb->GetHeight());
    Run.Sheet->CopyRect(at.X, at.Y, Thumb->GetWidth(), Thumb->GetHeight(), 0, 0, *Thumb);
    Run.Placed[static_cast<size_t>(Index)] = true;
}

std::unique_ptr<TPixelGraphic> TSheetBuilder::Finish(TRun& Run)
{
    if (Run.Options.IncFileNames)
        DrawNames(Run);
    DrawBands(*Run.Sheet, Run.Options);
    Run.Sheet->Flush();
    Run.Sheet->EndUpdate();
    return std::move(Run.Sheet);
}

std::unique_ptr<TPixelGraphic> TSheetBuilder::Build(const TSheetOptions& Options,
                                                    const std::vector<std::string>& Files)
{
    const std::shared_ptr<TRun> run = Begin(Options, Files);
    std::vector<std::unique_ptr<TPixelGraphic>> thumbs(Files.size());
    ParallelRanges(static_cast<int>(Files.size()), 1, [&](int, int begin, int end) {
        for (int i = begin; i < end; ++i)
            thumbs[static_cast<size_t>(i)] = ThumbnailOrNothing(Files[static_cast<size_t>(i)], Options);
    });
    for (size_t i = 0; i < thumbs.size(); ++i)
        Place(*run, static_cast<int>(i), thumbs[i].get());
    return Finish(*run);
}

void TSheetBuilder::Start(const TSheetOptions& Options, const std::vector<std::string>& Files, TDoneEvent OnDone)
{
    Stop();
    std::shared_ptr<TRun> run = Begin(Options, Files);
    run->OnDone = std::move(OnDone);
    const TRun* work = run.get();
    // A file's error box never opens over another box: it waits for it.
    run->Pool = std::make_unique<TInOrderPool>(
        static_cast<int>(Files.size()),
        [this, work](int index) -> std::function<void()> {
            std::shared_ptr<TPixelGraphic> thumb =
                ThumbnailOrNothing(work->Files[static_cast<size_t>(index)], work->Options);
            return [this, index, thumb] { Arrived(index, thumb.get()); };
        },
        [this] { Finished(); }, TQtDialogs::BoxOpen);
    // Workers stay a few files ahead of the sheet, so finished thumbnails
    // never pile up while an error box is open.
    const int threads = ParallelThreads();
    run_ = run;
    run->Pool->Start(threads, 2 * threads);
}

void TSheetBuilder::Stop()
{
    if (!run_)
        return;
    const std::shared_ptr<TRun> run = std::move(run_);
    if (run->Pool)
        run->Pool->Stop();
}

void TSheetBuilder::Arrived(int Index, TPixelGraphic* Thumb)
{
    // The events may start another build: the run stays until they return.
    const std::shared_ptr<TRun> run = run_;
    Place(*run, Index, Thumb);
}

void TSheetBuilder::Finished()
{
    const std::shared_ptr<TRun> run = std::move(run_);
    std::unique_ptr<TPixelGraphic> sheet = Finish(*run);
    if (run->OnDone)
        run->OnDone(std::move(sheet));
}

void TSheetBuilder::DrawNames(TRun& Run)
{
    QPainter& painter = Run.Sheet->GetCanvas()->Painter();
    GdiPrepare(painter);
    painter.setFont(GdiFont(QStringLiteral("Arial"), 8));
    painter.setPen(ToQColor(Run.Options.FontColor));
    for (size_t i = 0; i < Run.Files.size(); ++i) {
        if (!Run.Placed[i])
            continue;
        const QString name = QString::fromStdString(std::filesystem::path(Run.Files[i]).filename().string());
        const TNamePlace place = NamePlace(Run.Grid, static_cast<int>(i), GdiTextWidth(painter.font(), name));
        painter.setClipRect(QRect(place.Clip.Left, place.Clip.Top, place.Clip.Width(), place.Clip.Height()));
        GdiTextOut(painter, place.X, place.Y, name);
    }
    painter.setClipping(false);
}

void TSheetBuilder::DrawBands(TPixelGraphic& Sheet, const TSheetOptions& Options)
{
    if (!Options.Title && !Options.Footer)
        return;
    QPainter& painter = Sheet.GetCanvas()->Painter();
    GdiPrepare(painter);
    if (Options.Title)
        DrawBand(painter, Sheet.GetWidth(), 20, Options.TitleText, Options.TitleFont, Options.TitleSize,
                 Options.TitleColor);
    if (Options.Footer)
        DrawBand(painter, Sheet.GetWidth(), FooterTop(Sheet.GetHeight(), FooterBand(Options)), Options.FooterText,
                 Options.FooterFont, Options.FooterSize, Options.FooterColor);
}

} // namespace lumeno
