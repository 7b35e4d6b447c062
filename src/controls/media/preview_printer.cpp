#include "controls/media/preview_printer.h"

#include "controls/media/page_setup_form.h"
#include "controls/media/preview_form.h"
#include "platform/exception.h"
#include "platform/qt/asking_window.h"
#include "platform/qt/wait_cursor.h"
#include "platform/qt/window_placement.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>

#include <algorithm>

namespace lumeno {

namespace {

constexpr const char* kAssertionFailure = "Assertion failure";

int Pixels(Extended value)
{
    return int(Round(value));
}

QPageLayout::Orientation ToQt(TPrinterOrientation o)
{
    return o == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

std::unique_ptr<QPrinter> MakePrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer->setOutputFormat(QPrinter::PdfFormat);
    return printer;
}

// Where text of the given width starts in a span for an alignment.
int AlignedX(TAlignment align, int left, int right, int width)
{
    switch (align) {
    case TAlignment::taRightJustify:
        return right - width;
    case TAlignment::taCenter:
        return left + (right - left - width) / 2;
    case TAlignment::taLeftJustify:
        break;
    }
    return left;
}

} // namespace

std::vector<int> PrintedColumnWidths(const std::vector<TPrintColumn>& columns, int printableWidth)
{
    std::int64_t sum = 0;
    for (const TPrintColumn& c : columns)
        sum += std::max(0, c.Width);
    std::vector<int> widths;
    for (const TPrintColumn& c : columns)
        widths.push_back(sum > 0 ? int(std::int64_t(std::max(0, c.Width)) * std::max(0, printableWidth) / sum)
                                 : 0);
    return widths;
}

std::string FormatPageNumber(const std::string& format, int number)
{
    std::string text;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd') {
            text += std::to_string(number);
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            text += '%';
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

TPreviewPrinter::TPreviewPrinter() : printer_(MakePrinter())
{
    TakeMetricsFromPrinter();
}

TPreviewPrinter::~TPreviewPrinter() = default;

void TPreviewPrinter::SetUnits(TUnits units)
{
    units_ = units;
    unitsFactor_ = units == TUnits::unCentimeters ? 2.54L : 1.0L;
}

void TPreviewPrinter::TakeMetricsFromPrinter()
{
    const QRect paper = printer_->paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = printer_->pageRect(QPrinter::DevicePixel).toRect();
    metrics_.PixelsPerInchX = printer_->logicalDpiX();
    metrics_.PixelsPerInchY = printer_->logicalDpiY();
    metrics_.PhysicalWidth = paper.width();
    metrics_.PhysicalHeight = paper.height();
    metrics_.PhysicalOffsetX = page.left() - paper.left();
    metrics_.PhysicalOffsetY = page.top() - paper.top();
}

void TPreviewPrinter::Report(const std::string& message, int pageNum, TStatusType type)
{
    if (OnStatus)
        OnStatus(this, message, pageNum, type);
}

void TPreviewPrinter::BeginDoc()
{
    // The canvas records into a page that is about to go.
    canvas_.reset();
    docOpen_ = true;
    pages_.clear();
    NewPage();
}

void TPreviewPrinter::NewPage()
{
    if (!docOpen_)
        throw EAssertionFailed(kAssertionFailure);
    printer_->setPageOrientation(ToQt(Orientation));
    TakeMetricsFromPrinter();
    pages_.push_back(std::make_unique<TPageMetafile>(metrics_));
    auto canvas = std::make_unique<TQuorMetaFileCanvas>(*pages_.back());
    if (canvas_)
        canvas->TakeStateFrom(*canvas_);
    canvas_ = std::move(canvas);
    pageUsed_ = false;
    Report("Paginating page " + std::to_string(PageCount()), PageCount(), 0);
}

TQuorMetaFileCanvas& TPreviewPrinter::Canvas()
{
    if (!docOpen_ || !canvas_)
        throw EAssertionFailed("Canvas is not available before BeginDoc");
    pageUsed_ = true;
    return *canvas_;
}

void TPreviewPrinter::EndDoc()
{
    // A second EndDoc must not drop another page.
    if (!docOpen_)
        return;
    docOpen_ = false;
    canvas_.reset();
    if (!pageUsed_ && !pages_.empty())
        pages_.pop_back();
    Report("Pagination Complete", -1, 2);
}

Extended TPreviewPrinter::UnitsToPixelsX(Extended value) const
{
    return value * metrics_.PixelsPerInchX / unitsFactor_;
}

Extended TPreviewPrinter::UnitsToPixelsY(Extended value) const
{
    return value * metrics_.PixelsPerInchY / unitsFactor_;
}

Extended TPreviewPrinter::PixelsToUnitsY(Extended pixels) const
{
    return metrics_.PixelsPerInchY > 0 ? pixels / metrics_.PixelsPerInchY * unitsFactor_ : 0;
}

int TPreviewPrinter::LeftMargin() const
{
    return Pixels(UnitsToPixelsX(textOptions_.MarginLeft));
}

int TPreviewPrinter::RightEdge() const
{
    return metrics_.PhysicalWidth - Pixels(UnitsToPixelsX(textOptions_.MarginRight));
}

void TPreviewPrinter::DrawTextLine(int y, TAlignment align, const QFont& font, const std::string& text)
{
    TQuorMetaFileCanvas& canvas = Canvas();
    const QFont kept = canvas.Font();
    canvas.SetFont(font);
    const int w = canvas.TextWidth(text);
    int x = LeftMargin();
    if (align == TAlignment::taRightJustify)
        x = RightEdge() - w;
    else if (align == TAlignment::taCenter)
        x = metrics_.PhysicalWidth / 2 - w / 2;
    canvas.TextOut(x, y, text);
    canvas.SetFont(kept);
}

void TPreviewPrinter::DrawHeaderFooter(int pageNumber)
{
    const TTextOptions& t = textOptions_;
    const int headerY = Pixels(UnitsToPixelsY(t.HeaderMargin));
    const int footerY = metrics_.PhysicalHeight - Pixels(UnitsToPixelsY(t.FooterMargin));
    DrawTextLine(headerY, t.HeaderAlign, t.HeaderFont, t.Header);
    DrawTextLine(footerY, t.FooterAlign, t.FooterFont, t.Footer);
    if (t.PrintPageNumber == TPrintPageNumber::pnNone)
        return;
    DrawTextLine(t.PrintPageNumber == TPrintPageNumber::pnBottom ? footerY : headerY, t.PageNumAlign,
                 t.PageNumFont, FormatPageNumber(t.PageNumText, pageNumber));
}

int TPreviewPrinter::RowHeight(int line, bool& force)
{
    int h = -1;
    force = false;
    if (OnOwnerHeight)
        OnOwnerHeight(this, line, h, force);
    if (textOptions_.DrawStyle != TDrawStyle::dsOwnerDrawVariable) {
        TQuorMetaFileCanvas& canvas = Canvas();
        h = canvas.TextHeight() + canvas.InternalLeading() + canvas.ExternalLeading();
    }
    if (h < 0)
        throw Exception("OnOwnerHeight Event returned an invalid height!");
    return h;
}

int TPreviewPrinter::LineHeight(const QFont& font)
{
    TQuorMetaFileCanvas& canvas = Canvas();
    const QFont kept = canvas.Font();
    canvas.SetFont(font);
    const int h = canvas.TextHeight() + canvas.ExternalLeading();
    canvas.SetFont(kept);
    return h;
}

int TPreviewPrinter::ListTop()
{
    const TTextOptions& t = textOptions_;
    const int top = Pixels(UnitsToPixelsY(t.MarginTop));
    int header = t.Header.empty() ? 0 : LineHeight(t.HeaderFont);
    if (t.PrintPageNumber == TPrintPageNumber::pnTop)
        header = std::max(header, LineHeight(t.PageNumFont));
    if (header == 0)
        return top;
    // A header line reaching into the top margin pushes the captions down,
    // half a header line below it.
    return std::max(top, Pixels(UnitsToPixelsY(t.HeaderMargin)) + header + header / 2);
}

int TPreviewPrinter::StartListPage(const TPrintList& list, const std::vector<int>& widths, int page, int h)
{
    DrawHeaderFooter(page);
    const int top = ListTop();
    TQuorMetaFileCanvas& canvas = Canvas();
    QFont font = canvas.Font();
    font.setBold(true);
    canvas.SetFont(font);
    int x = LeftMargin();
    for (std::size_t c = 0; c < list.Columns.size(); ++c) {
        const TPrintColumn& column = list.Columns[c];
        const TRect cell = Bounds(x, top, widths[c], h + 1);
        canvas.TextRect(cell,
                        AlignedX(column.Alignment, cell.Left, cell.Right, canvas.TextWidth(column.Caption)),
                        top, column.Caption);
        x = cell.Right;
    }
    canvas.MoveTo(LeftMargin(), top + h);
    canvas.LineTo(RightEdge(), top + h);
    font.setBold(false);
    canvas.SetFont(font);
    return top + 2 * h + 10;
}

void TPreviewPrinter::PrintRow(const TPrintList& list, const std::vector<int>& widths, int page, int line,
                               int y, int h)
{
    if (textOptions_.DrawStyle != TDrawStyle::dsStandard) {
        if (OnOwnerDraw)
            OnOwnerDraw(this, page, line, Rect(LeftMargin(), y, RightEdge() + 1, y + h), Canvas());
        return;
    }
    TQuorMetaFileCanvas& canvas = Canvas();
    const TPrintListItem& item = list.Items[std::size_t(line)];
    int x = LeftMargin();
    static const std::string empty;
    for (std::size_t c = 0; c < list.Columns.size(); ++c) {
        const std::string& text =
            c == 0 ? item.Caption : (c - 1 < item.SubItems.size() ? item.SubItems[c - 1] : empty);
        const TRect cell = Bounds(x, y, widths[c], h + 1);
        canvas.TextRect(cell,
                        AlignedX(list.Columns[c].Alignment, cell.Left, cell.Right, canvas.TextWidth(text)), y,
                        text);
        x = cell.Right;
    }
}

void TPreviewPrinter::PrintListView(const TPrintList& list, QProgressBar* progress)
{
    TWaitCursor wait;
    BeginDoc();
    const std::vector<int> widths = PrintedColumnWidths(list.Columns, RightEdge() - LeftMargin());
    if (progress)
        progress->setMaximum(int(list.Items.size()));
    int page = 0;
    int y = -1;
    for (int i = 0; i < int(list.Items.size()); ++i) {
        if (progress)
            progress->setValue(i);
        Canvas().SetFont(textOptions_.BodyFont);
        bool force = false;
        const int h = RowHeight(i, force);
        if (force)
            y = -1;
        const int limit =
            Pixels(UnitsToPixelsY(PixelsToUnitsY(metrics_.PhysicalHeight) - textOptions_.MarginBottom));
        if (y < 0 || limit < y + h) {
            ++page;
            if (OnNewPage)
                OnNewPage(this, page);
            // The first page is the one BeginDoc started.
            if (page > 1)
                NewPage();
            y = StartListPage(list, widths, page, h);
        }
        PrintRow(list, widths, page, i, y, h);
        y += h;
    }
    EndDoc();
    if (progress)
        progress->setValue(0);
}

void TPreviewPrinter::PrintListView(const QTreeView& view, QProgressBar* progress)
{
    PrintListView(PrintListFromView(view), progress);
}

void TPreviewPrinter::Preview()
{
    if (docOpen_)
        throw EAssertionFailed(kAssertionFailure);
    QWidget* owner = TAskingWindow::Current();
    TPreviewForm form(*this, owner);
    // Its pages are large: beside the window that asks, not over its menus.
    if (owner)
        PlaceBesideOnce(form, *owner);
    if (Tag == 1)
        form.Tag = 1;
    form.exec();
}

bool TPreviewPrinter::RunPrintDialog(QPrinter& printer, int maxPage)
{
    QPrintDialog dialog(&printer, TAskingWindow::Current());
    dialog.setMinMax(1, maxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    return dialog.exec() == QDialog::Accepted;
}

bool TPreviewPrinter::Print()
{
    if (pages_.empty() || docOpen_)
        return false;
    printer_->setPrintRange(QPrinter::AllPages);
    printer_->setFromTo(1, PageCount());
    if (!RunPrintDialog(*printer_, PageCount()))
        return false;
    int from = 0;
    int to = PageCount() - 1;
    if (printer_->printRange() == QPrinter::PageRange && printer_->fromPage() > 0) {
        from = std::clamp(printer_->fromPage() - 1, 0, PageCount() - 1);
        to = std::clamp(printer_->toPage() - 1, from, PageCount() - 1);
    }
    // A printer that makes copies itself gets the pages once.
    const int copies = printer_->supportsMultipleCopies() ? 1 : std::max(1, printer_->copyCount());
    PrintRange(from, to, copies);
    return true;
}

void TPreviewPrinter::PrintPage(QPainter& painter, const TPageMetafile& page)
{
    // Page pixels become printer pixels, with the corner of the paper at
    // the corner of the page.
    const TDeviceMetrics& m = page.Metrics();
    painter.save();
    painter.translate(-metrics_.PhysicalOffsetX, -metrics_.PhysicalOffsetY);
    if (m.PixelsPerInchX > 0 && m.PixelsPerInchY > 0)
        painter.scale(double(metrics_.PixelsPerInchX) / m.PixelsPerInchX,
                      double(metrics_.PixelsPerInchY) / m.PixelsPerInchY);
    PlayPage(painter, page);
    painter.restore();
}

void TPreviewPrinter::PrintRange(int from, int to, int copies)
{
    TWaitCursor wait;
    printer_->setPageOrientation(ToQt(Orientation));
    printer_->setDocName(QString::fromStdString(Title));
    QPainter painter;
    if (!painter.begin(printer_.get()))
        throw Exception("The printer could not be started");
    TakeMetricsFromPrinter();
    for (int copy = 0; copy < copies; ++copy) {
        for (int i = from; i <= to; ++i) {
            Report("Printing page " + std::to_string(i), i, 1);
            PrintPage(painter, Page(i));
            if (i < to || copy + 1 < copies)
                printer_->newPage();
        }
    }
    painter.end();
    Report("Print Job Complete", -1, 3);
}

int TPreviewPrinter::PageSetup()
{
    TPageSetupForm form(*this, TAskingWindow::Current());
    return form.exec();
}

void TPreviewPrinter::Loaded()
{
    TPageSetupForm::ReadDefaults(*this);
}

} // namespace lumeno
