#include "app/desktop/print_jobs.h"

#include "app/common/file_types.h"
#include "controls/media/preview_printer.h"
#include "controls/media/print_list.h"
#include "controls/media/quor_meta_file_canvas.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/pixel_graphic.h"
#include "platform/dialogs.h"

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

int PrintImages(TPreviewPrinter& PP1, const std::vector<std::string>& Paths,
                const std::function<void(int)>& Progress)
{
    const TTextOptions& options = PP1.TextOptions();
    const TDeviceMetrics& metrics = PP1.Metrics();
    const int left = static_cast<int>(PP1.UnitsToPixelsX(options.MarginLeft));
    const int top = static_cast<int>(PP1.UnitsToPixelsY(options.MarginTop));
    const int printableWidth = metrics.PhysicalWidth - (left + static_cast<int>(PP1.UnitsToPixelsX(options.MarginRight)));
    const int printableHeight = metrics.PhysicalHeight - (top + static_cast<int>(PP1.UnitsToPixelsY(options.MarginBottom)));
    PP1.BeginDoc();
    if (Progress)
        Progress(0);
    int printed = 0;
    TPixelGraphic picture;
    TPixelGraphic sent;
    picture.SetReadWarningAction(pgwaIgnore);
    for (const std::string& path : Paths) {
        if (!IsPictureFile(path))
            continue;
        try {
            picture.LoadFromFile(path);
        } catch (const std::exception&) {
            ShowMessage("Error reading image file");
            continue;
        }
        if (printed > 0)
            PP1.NewPage();
        const TPrintPlacement place =
            PrintImagePlacement(picture.GetWidth(), picture.GetHeight(), left, top, printableWidth, printableHeight,
                                metrics.PixelsPerInchX, metrics.PixelsPerInchY);
        sent.SetDimensions(place.SendWidth, place.SendHeight, pf24Bit);
        sent.StretchFrom(picture);
        sent.Draw(PP1.Canvas().Painter(), place.Target);
        ++printed;
        if (Progress)
            Progress(static_cast<int>(static_cast<double>(printed) / static_cast<double>(Paths.size()) * 100));
    }
    PP1.EndDoc();
    return printed;
}

int PrintImages(TPreviewPrinter& PP1, const std::vector<std::string>& Paths, TdfsStatusBar& SB1)
{
    constexpr int kGaugePanel = 4;
    TdfsStatusPanel& panel = SB1.Panels()[kGaugePanel];
    panel.SetPanelType(sptGauge);
    panel.GaugeAttrs().SetPosition(0);
    struct TRestore {
        TdfsStatusPanel& Panel;
        ~TRestore() { Panel.SetPanelType(sptNormal); }
    } restore{panel};
    return PrintImages(PP1, Paths, [&panel](int percent) { panel.GaugeAttrs().SetPosition(percent); });
}

} // namespace lumeno
