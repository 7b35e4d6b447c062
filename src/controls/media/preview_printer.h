#pragma once
// Records a print job as a list of pages drawn at the printer's resolution,
// then shows them in the preview window or sends them to the printer.
// Call order: BeginDoc, (Canvas, draw, [DrawHeaderFooter], NewPage)*,
// EndDoc, then Preview or Print. PrintListView runs up to EndDoc itself.

#include "controls/media/page_metafile.h"
#include "controls/media/print_list.h"
#include "controls/media/quor_meta_file_canvas.h"
#include "controls/media/text_options.h"
#include "platform/numeric.h"
#include "platform/types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;
class QProgressBar;
class QTreeView;

namespace lumeno {

enum class TUnits { unInches, unCentimeters };
enum class TZoomOption { zoFitToPage, zoFitToWidth, zoTwoPages, zoCustom };
enum class TPrinterOrientation { poPortrait, poLandscape };

// Kind of a status report: 0 pagination step, 1 printing step,
// 2 pagination complete, 3 print job complete.
using TStatusType = int;

using TOwnerHeightEvent = std::function<void(TObject* Sender, int Line, int& Height, bool& ForceNewPage)>;
using TOwnerDrawEvent =
    std::function<void(TObject* Sender, int Page, int Line, const TRect& R, TQuorMetaFileCanvas& Canvas)>;
using TNewPageEvent = std::function<void(TObject* Sender, int Page)>;
using TPrintStatusEvent =
    std::function<void(TObject* Sender, const std::string& StatMsg, int PageNum, TStatusType StatusType)>;

// Printed column widths: the columns scaled together to fill the printable
// width (integer pixels, never wider in total than the width).
std::vector<int> PrintedColumnWidths(const std::vector<TPrintColumn>& columns, int printableWidth);

// The page-number text: each %d becomes the number, %% a percent sign;
// everything else is kept as typed.
std::string FormatPageNumber(const std::string& format, int number);

class TPreviewPrinter : public TObject {
public:
    TPreviewPrinter();
    ~TPreviewPrinter() override;
    TPreviewPrinter(const TPreviewPrinter&) = delete;
    TPreviewPrinter& operator=(const TPreviewPrinter&) = delete;

    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
    std::string Title;
    bool ShowGrid = false;
    TZoomOption ZoomOption = TZoomOption::zoFitToPage;
    int ZoomVal = 100;
    int Tag = 0;

    TOwnerHeightEvent OnOwnerHeight;
    TOwnerDrawEvent OnOwnerDraw;
    TNewPageEvent OnNewPage;
    TPrintStatusEvent OnStatus;

    TTextOptions& TextOptions() { return textOptions_; }
    void SetTextOptions(const TTextOptions& options) { textOptions_.Assign(options); }
    TUnits Units() const { return units_; }
    void SetUnits(TUnits units);

    // The printer the pages are recorded for and printed on (a PDF file
    // when the system has no printer).
    QPrinter& Printer() { return *printer_; }

    void BeginDoc();
    void NewPage();
    // The current page's canvas; using it marks the page as drawn on.
    TQuorMetaFileCanvas& Canvas();
    void EndDoc();

    int PageCount() const { return int(pages_.size()); }
    const TPageMetafile& Page(int index) const { return *pages_.at(std::size_t(index)); }
    const TDeviceMetrics& Metrics() const { return metrics_; }

    Extended UnitsToPixelsX(Extended value) const;
    Extended UnitsToPixelsY(Extended value) const;
    Extended PixelsToUnitsY(Extended pixels) const;

    void DrawHeaderFooter(int pageNumber);
    // Paginates a list; progress may be null.
    void PrintListView(const TPrintList& list, QProgressBar* progress);
    void PrintListView(const QTreeView& view, QProgressBar* progress);

    // Shows the recorded pages in the preview window, modally.
    void Preview();
    // Asks with the printer dialog and prints the chosen pages; true when
    // the dialog was confirmed. Nothing happens without pages.
    bool Print();
    // Runs the page-setup dialog; returns its result.
    int PageSetup();
    // Takes over the stored default page settings; call once the
    // component's own settings are made.
    void Loaded();

protected:
    // The printer dialog for pages 1..maxPage; it leaves the choices (range,
    // copies, output) in the printer.
    virtual bool RunPrintDialog(QPrinter& printer, int maxPage);

private:
    void TakeMetricsFromPrinter();
    void Report(const std::string& message, int pageNum, TStatusType type);
    void DrawTextLine(int y, TAlignment align, const QFont& font, const std::string& text);
    int RowHeight(int line, bool& force);
    int LineHeight(const QFont& font);
    // Top of the column captions: the top margin, or below the header line.
    int ListTop();
    // Draws header, footer and captions; returns the top of the first row.
    int StartListPage(const TPrintList& list, const std::vector<int>& widths, int page, int h);
    void PrintRow(const TPrintList& list, const std::vector<int>& widths, int page, int line, int y, int h);
    void PrintRange(int from, int to, int copies);
    void PrintPage(QPainter& painter, const TPageMetafile& page);
    int LeftMargin() const;
    int RightEdge() const;

    TTextOptions textOptions_;
    TUnits units_ = TUnits::unInches;
    Extended unitsFactor_ = 1.0;
    std::unique_ptr<QPrinter> printer_;
    bool docOpen_ = false;
    std::vector<std::unique_ptr<TPageMetafile>> pages_;
    // Declared after the pages: it records into the last one.
    std::unique_ptr<TQuorMetaFileCanvas> canvas_;
    bool pageUsed_ = false;
    TDeviceMetrics metrics_;
};

} // namespace lumeno
