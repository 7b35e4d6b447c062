#include "app/desktop/print_jobs.h"

#include "controls/media/preview_printer.h"
#include "controls/media/print_list.h"
#include "controls/media/quor_meta_file_canvas.h"

#include <QPainter>

#include <algorithm>

namespace lumeno {

TPrintPlacement PrintImagePlacement(int Width, int Height, int Left, int Top, int PrintableWidth,
                                    int PrintableHeight, int PixelsPerInchX, int PixelsPerInchY)
{
    const double ratio = static_cast<double>(Height) / Width;
    int w = PrintableWidth;
    int h = static_cast<int>(w * ratio);
    if (h > PrintableHeight) {
        h = PrintableHeight;
        w = static_cast<int>(h / ratio);
    }
    TPrintPlacement place;
    const int x = Left + (PrintableWidth - w) / 2;
    const int y = Top + (PrintableHeight - h) / 2;
    place.Target = {x, y, x + w, y + h};
    place.SendWidth = std::max(1, static_cast<int>(static_cast<double>(w) / PixelsPerInchX * kPrintPixelsPerInch));
    place.SendHeight = std::max(1, static_cast<int>(static_cast<double>(h) / PixelsPerInchY * kPrintPixelsPerInch));
    return place;
}

void PrintFolderListing(TPreviewPrinter& PP1, const std::string& Folder, const TPrintList& List)
{
    TTextOptions& options = PP1.TextOptions();
    options.Header = Folder;
    options.HeaderFont.setPointSize(18);
    options.HeaderFont.setItalic(true);
    options.FooterAlign = TAlignment::taLeftJustify;
    options.PrintPageNumber = TPrintPageNumber::pnBottom;
    options.MarginTop = 0.75;
    options.MarginBottom = 0.5;
    options.HeaderMargin = 0.25;
    options.FooterMargin = 0.25;
    PP1.PrintListView(List, nullptr);
}

TPrintArea PrintableArea(TPreviewPrinter& PP1)
{
    const TTextOptions& options = PP1.TextOptions();
    const TDeviceMetrics& metrics = PP1.Metrics();
    TPrintArea area;
    area.Left = static_cast<int>(PP1.UnitsToPixelsX(options.MarginLeft));
    area.Top = static_cast<int>(PP1.UnitsToPixelsY(options.MarginTop));
    area.Width =
        metrics.PhysicalWidth - (area.Left + static_cast<int>(PP1.UnitsToPixelsX(options.MarginRight)));
    area.Height =
        metrics.PhysicalHeight - (area.Top + static_cast<int>(PP1.UnitsToPixelsY(options.MarginBottom)));
    area.PixelsPerInchX = metrics.PixelsPerInchX;
    area.PixelsPerInchY = metrics.PixelsPerInchY;
    return area;
}

TPrintPicture ReadPrintPicture(const std::string& Path, const TPrintArea& Area,
                               const TPGProgressEvent& Progress)
{
    TPixelGraphic picture;
    picture.SetReadWarningAction(pgwaIgnore);
    picture.SetOnProgress(Progress);
    picture.LoadFromFile(Path);
    TPrintPicture result;
    result.Place = PrintImagePlacement(picture.GetWidth(), picture.GetHeight(), Area.Left, Area.Top,
                                       Area.Width, Area.Height, Area.PixelsPerInchX, Area.PixelsPerInchY);
    result.Sent = std::make_unique<TPixelGraphic>();
    result.Sent->SetOnProgress(Progress);
    result.Sent->SetDimensions(result.Place.SendWidth, result.Place.SendHeight, pf24Bit);
    result.Sent->StretchFrom(picture);
    // The handler must not travel with the picture to the main thread.
    result.Sent->SetOnProgress(nullptr);
    return result;
}

void RecordPrintPicture(TPreviewPrinter& PP1, int Page, TPrintPicture& Picture)
{
    if (Page > 0)
        PP1.NewPage();
    Picture.Sent->Draw(PP1.Canvas().Painter(), Picture.Place.Target);
}

} // namespace lumeno
