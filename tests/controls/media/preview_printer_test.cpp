#include "controls/media/preview_printer.h"

#include "page_capture.h"
#include "platform/exception.h"
#include "print_test_support.h"
#include "support/test_env.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTreeView>

#include <gtest/gtest.h>
#include <regex>

namespace lumeno {
namespace {

using test::CapturePage;
using test::TestPrinter;

struct Status {
    std::string Message;
    int Page;
    int Type;
    friend bool operator==(const Status&, const Status&) = default;
};

void Record(TPreviewPrinter& p, std::vector<Status>& log)
{
    p.OnStatus = [&log](TObject*, const std::string& m, int page, TStatusType type) {
        log.push_back({m, page, type});
    };
}

void DrawPages(TPreviewPrinter& p, int count)
{
    p.BeginDoc();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            p.NewPage();
        p.Canvas().TextOut(600, 600, "Page body " + std::to_string(i + 1));
    }
    p.EndDoc();
}

TPrintList MakeList(int rows, std::vector<TPrintColumn> columns)
{
    TPrintList list;
    list.Columns = std::move(columns);
    for (int i = 0; i < rows; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "File %03d", i);
        list.Items.push_back({name, {std::to_string(i * 10) + " KB", "JPG"}});
    }
    return list;
}

// Width of a text in a font as the printer's pages measure it.
int PageTextWidth(const TPreviewPrinter& p, const QFont& font, const std::string& text)
{
    TPageMetafile scratch(p.Metrics());
    TQuorMetaFileCanvas canvas(scratch);
    canvas.SetFont(font);
    return canvas.TextWidth(text);
}

TEST(PreviewPrinter, UnitConversions)
{
    TestPrinter p;
    p.BeginDoc();
    EXPECT_EQ(p.Metrics().PixelsPerInchX, 600);
    EXPECT_EQ(p.Metrics().PhysicalWidth, 5100);
    EXPECT_EQ(p.Metrics().PhysicalHeight, 6600);
    EXPECT_EQ(p.Metrics().PhysicalOffsetX, 150);
    EXPECT_DOUBLE_EQ(double(p.UnitsToPixelsX(1.5)), 900);
    EXPECT_DOUBLE_EQ(double(p.PixelsToUnitsY(300)), 0.5);
    p.SetUnits(TUnits::unCentimeters);
    EXPECT_DOUBLE_EQ(double(p.UnitsToPixelsX(2.54)), 600);
    EXPECT_DOUBLE_EQ(double(p.UnitsToPixelsY(2.54)), 600);
    EXPECT_DOUBLE_EQ(double(p.PixelsToUnitsY(600)), 2.54);
}

TEST(PreviewPrinter, RecordingDropsAnUntouchedLastPage)
{
    TestPrinter p;
    try {
        p.Canvas();
        FAIL() << "a canvas outside a document";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Canvas is not available before BeginDoc");
    }
    EXPECT_THROW(p.NewPage(), EAssertionFailed);

    p.BeginDoc();
    p.Canvas().TextOut(0, 0, "one");
    p.NewPage();
    EXPECT_EQ(p.PageCount(), 2);
    EXPECT_THROW(p.Preview(), EAssertionFailed);
    p.EndDoc();
    EXPECT_EQ(p.PageCount(), 1);
    p.EndDoc(); // a second end loses nothing
    EXPECT_EQ(p.PageCount(), 1);

    p.BeginDoc();
    p.EndDoc();
    EXPECT_EQ(p.PageCount(), 0);
}

TEST(PreviewPrinter, DrawingStateCarriesAcrossPages)
{
    TestPrinter p;
    p.BeginDoc();
    EXPECT_EQ(p.Canvas().Font().family(), "Arial");
    EXPECT_EQ(p.Canvas().Font().pointSize(), 10);
    EXPECT_EQ(p.Canvas().Brush().style(), Qt::NoBrush);
    p.Canvas().SetFont(QFont("Times New Roman", 14));
    p.Canvas().SetFontColor(clRed);
    p.NewPage();
    EXPECT_EQ(p.Canvas().Font().family(), "Times New Roman");
    EXPECT_EQ(p.Canvas().FontColor(), clRed);
    p.EndDoc();
    // A new document starts from the defaults again.
    p.BeginDoc();
    EXPECT_EQ(p.Canvas().Font().family(), "Arial");
    p.EndDoc();
}

TEST(PreviewPrinter, StatusReportsInOrder)
{
    TestPrinter p;
    std::vector<Status> log;
    Record(p, log);
    DrawPages(p, 2);
    EXPECT_EQ(log,
              (std::vector<Status>{
                  {"Paginating page 1", 1, 0}, {"Paginating page 2", 2, 0}, {"Pagination Complete", -1, 2}}));
}

TEST(PreviewPrinter, ColumnsScaleToThePrintableWidth)
{
    EXPECT_EQ(PrintedColumnWidths({{"a", 100}, {"b", 100}, {"c", 200}}, 4800),
              (std::vector<int>{1200, 1200, 2400}));
    // Wider than the page: every column keeps its share instead of vanishing.
    EXPECT_EQ(PrintedColumnWidths({{"a", 4000}, {"b", 3000}, {"c", 2000}}, 4500),
              (std::vector<int>{2000, 1500, 1000}));
    EXPECT_EQ(PrintedColumnWidths({{"a", 0}, {"b", 0}}, 4500), (std::vector<int>{0, 0}));
}

TEST(PreviewPrinter, PageNumberTextTakesOnlyNumbers)
{
    EXPECT_EQ(FormatPageNumber("Page %d", 3), "Page 3");
    EXPECT_EQ(FormatPageNumber("%d of many, 100%%", 12), "12 of many, 100%");
    EXPECT_EQ(FormatPageNumber("%s %n %", 1), "%s %n %");
}

TEST(PreviewPrinter, HeaderFooterAndPageNumberPlacement)
{
    TestPrinter p;
    TTextOptions& t = p.TextOptions();
    t.Header = "Holidays";
    t.HeaderAlign = TAlignment::taLeftJustify;
    t.Footer = "Lumeno Directory Report";
    p.BeginDoc();
    p.DrawHeaderFooter(7);
    p.EndDoc();
    ASSERT_EQ(p.PageCount(), 1);
    const test::CapturedPage page = CapturePage(p.Page(0));

    const auto* header = page.Find("Holidays");
    ASSERT_NE(header, nullptr);
    EXPECT_NEAR(header->Baseline.x(), 300, 1);
    EXPECT_GT(header->Baseline.y(), 300); // its top is on the header line
    const auto* footer = page.Find("Lumeno Directory Report");
    ASSERT_NE(footer, nullptr);
    const int footerWidth = PageTextWidth(p, t.FooterFont, "Lumeno Directory Report");
    EXPECT_NEAR(footer->Baseline.x(), 5100 / 2 - footerWidth / 2, 1);
    const auto* number = page.Find("Page 7");
    ASSERT_NE(number, nullptr);
    EXPECT_NEAR(number->Baseline.x() + PageTextWidth(p, t.PageNumFont, "Page 7"), 4800, 1);
    // Bottom page numbers share the footer line.
    EXPECT_EQ(number->Baseline.y(), footer->Baseline.y());
    EXPECT_GT(footer->Baseline.y(), 6600 - 240);

    t.PrintPageNumber = TPrintPageNumber::pnTop;
    p.BeginDoc();
    p.DrawHeaderFooter(1);
    p.EndDoc();
    const test::CapturedPage top = CapturePage(p.Page(0));
    ASSERT_NE(top.Find("Page 1"), nullptr);
    EXPECT_LT(top.Find("Page 1")->Baseline.y(), 600);

    t.PrintPageNumber = TPrintPageNumber::pnNone;
    p.BeginDoc();
    p.DrawHeaderFooter(1);
    p.EndDoc();
    EXPECT_EQ(CapturePage(p.Page(0)).Find("Page 1"), nullptr);
}

// Top and bottom of a text written with its baseline at y, in page pixels.
std::pair<double, double> PageTextSpan(const TPreviewPrinter& p, const QFont& font, double y)
{
    TPageMetafile scratch(p.Metrics());
    const QFontMetricsF m(font, &scratch);
    return {y - m.ascent(), y + m.descent()};
}

TEST(PreviewPrinter, ListCaptionsAndRuleStayBelowTheHeader)
{
    TestPrinter p;
    TTextOptions& t = p.TextOptions();
    t.Header = "Holidays Ågjy";
    for (const TPrintPageNumber number : {TPrintPageNumber::pnBottom, TPrintPageNumber::pnTop}) {
        t.PrintPageNumber = number;
        p.PrintListView(MakeList(3, {{"Name", 100}, {"Folder", 100}, {"Size", 100}}), nullptr);
        const test::CapturedPage c = CapturePage(p.Page(0));
        ASSERT_NE(c.Find("Name"), nullptr);
        ASSERT_NE(c.Find("Holidays Ågjy"), nullptr);
        QFont bold = t.BodyFont;
        bold.setBold(true);
        const auto header = PageTextSpan(p, t.HeaderFont, c.Find("Holidays Ågjy")->Baseline.y());
        const auto name = PageTextSpan(p, bold, c.Find("Name")->Baseline.y());
        EXPECT_GT(name.first, header.second);
        ASSERT_FALSE(c.Strokes.empty());
        EXPECT_GT(c.Strokes.front().top(), name.second);
    }
    // Without a header the captions start at the top margin.
    t.Header.clear();
    t.PrintPageNumber = TPrintPageNumber::pnBottom;
    p.PrintListView(MakeList(3, {{"Name", 100}}), nullptr);
    QFont bold = t.BodyFont;
    bold.setBold(true);
    EXPECT_NEAR(PageTextSpan(p, bold, CapturePage(p.Page(0)).Find("Name")->Baseline.y()).first, 300, 2);
}

TEST(PreviewPrinter, LongListIsPaginatedWithHeadersOnEveryPage)
{
    TestPrinter p;
    p.TextOptions().Header = "/home/ann/photos";
    p.TextOptions().Footer = "Report";
    const TPrintList list = MakeList(150, {{"Name", 200, TAlignment::taLeftJustify},
                                           {"Size", 80, TAlignment::taRightJustify},
                                           {"Type", 120, TAlignment::taCenter}});
    std::vector<int> newPages;
    p.OnNewPage = [&](TObject*, int page) { newPages.push_back(page); };
    std::vector<Status> log;
    Record(p, log);
    QProgressBar progress;
    p.PrintListView(list, &progress);
    EXPECT_EQ(progress.maximum(), 150);
    EXPECT_EQ(progress.value(), 0);

    ASSERT_GE(p.PageCount(), 2);
    ASSERT_EQ(int(newPages.size()), p.PageCount());
    EXPECT_EQ(log.back(), (Status{"Pagination Complete", -1, 2}));

    // Printable width 4500 split 200:80:120.
    const int left = 300, sizeRight = 300 + 2250 + 900, typeLeft = sizeRight, typeWidth = 1350;
    const int limit = 6600 - 300;
    int next = 0;
    for (int page = 0; page < p.PageCount(); ++page) {
        EXPECT_EQ(newPages[page], page + 1);
        const test::CapturedPage c = CapturePage(p.Page(page));
        EXPECT_EQ(c.Count("Name"), 1);
        EXPECT_EQ(c.Count("Type"), 1);
        EXPECT_EQ(c.Count("/home/ann/photos"), 1);
        EXPECT_EQ(c.Count("Report"), 1);
        EXPECT_EQ(c.Count(QString("Page %1").arg(page + 1)), 1);
        EXPECT_NEAR(c.Find("Name")->Baseline.x(), left, 1);
        // The rule under the captions spans the printable width.
        ASSERT_FALSE(c.Strokes.empty());
        EXPECT_NEAR(c.Strokes.front().left(), left, 1);
        EXPECT_NEAR(c.Strokes.front().right(), 4800, 1);
        double lastY = c.Strokes.front().top();
        int rows = 0;
        for (const test::CapturedText& text : c.Texts) {
            if (!text.Text.startsWith("File "))
                continue;
            char name[32];
            std::snprintf(name, sizeof name, "File %03d", next);
            ASSERT_EQ(text.Text.toStdString(), name);
            EXPECT_NEAR(text.Baseline.x(), left, 1);
            EXPECT_GT(text.Baseline.y(), lastY);
            EXPECT_LT(text.Baseline.y(), limit);
            lastY = text.Baseline.y();
            const std::string size = std::to_string(next * 10) + " KB";
            const auto* sizeText = c.Find(QString::fromStdString(size));
            ASSERT_NE(sizeText, nullptr);
            EXPECT_NEAR(sizeText->Baseline.x() + PageTextWidth(p, p.TextOptions().BodyFont, size), sizeRight,
                        1);
            ++next;
            ++rows;
        }
        EXPECT_GT(rows, 10);
        const auto* type = c.Find("JPG");
        ASSERT_NE(type, nullptr);
        EXPECT_NEAR(type->Baseline.x(),
                    typeLeft + (typeWidth - PageTextWidth(p, p.TextOptions().BodyFont, "JPG")) / 2, 1);
    }
    EXPECT_EQ(next, 150);
}

TEST(PreviewPrinter, ListWiderThanThePageKeepsEveryColumn)
{
    TestPrinter p;
    p.PrintListView(MakeList(3, {{"Name", 4000}, {"Size", 3000}, {"Type", 2000}}), nullptr);
    ASSERT_EQ(p.PageCount(), 1);
    const test::CapturedPage c = CapturePage(p.Page(0));
    ASSERT_NE(c.Find("Size"), nullptr);
    EXPECT_NEAR(c.Find("Size")->Baseline.x(), 300 + 2000, 1);
    ASSERT_NE(c.Find("Type"), nullptr);
    EXPECT_NEAR(c.Find("Type")->Baseline.x(), 300 + 3500, 1);
    EXPECT_EQ(c.Count("JPG"), 3);
}

TEST(PreviewPrinter, ForcedPagesStartOnlyWhenNeeded)
{
    TestPrinter p;
    p.OnOwnerHeight = [](TObject*, int line, int&, bool& force) { force = line == 0 || line == 2; };
    p.PrintListView(MakeList(4, {{"Name", 100}}), nullptr);
    ASSERT_EQ(p.PageCount(), 2);
    EXPECT_EQ(CapturePage(p.Page(0)).Count("File 000"), 1);
    EXPECT_EQ(CapturePage(p.Page(0)).Count("File 001"), 1);
    EXPECT_EQ(CapturePage(p.Page(1)).Count("File 002"), 1);

    p.OnOwnerHeight = nullptr;
    p.PrintListView(MakeList(0, {{"Name", 100}}), nullptr);
    EXPECT_EQ(p.PageCount(), 0);
}

TEST(PreviewPrinter, OwnerDrawnRows)
{
    TestPrinter p;
    p.TextOptions().DrawStyle = TDrawStyle::dsOwnerDrawVariable;
    p.OnOwnerHeight = [](TObject*, int line, int& h, bool&) { h = line == 3 ? -1 : 1400; };
    std::vector<std::pair<int, TRect>> drawn;
    p.OnOwnerDraw = [&](TObject*, int page, int line, const TRect& r, TQuorMetaFileCanvas& canvas) {
        drawn.push_back({page, r});
        canvas.TextOut(r.Left, r.Top, "row " + std::to_string(line));
    };
    try {
        p.PrintListView(MakeList(5, {{"Name", 100}}), nullptr);
        FAIL() << "an invalid height was accepted";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "OnOwnerHeight Event returned an invalid height!");
    }
    ASSERT_EQ(drawn.size(), 3u);
    // 1400-pixel rows: two fit under the captions of a 6600-pixel page.
    EXPECT_EQ(drawn[0].first, 1);
    EXPECT_EQ(drawn[1].first, 1);
    EXPECT_EQ(drawn[2].first, 2);
    EXPECT_EQ(drawn[0].second.Left, 300);
    EXPECT_EQ(drawn[0].second.Right, 4801);
    EXPECT_EQ(drawn[0].second.Height(), 1400);
}

TEST(PreviewPrinter, ListFromATreeView)
{
    QStandardItemModel model(2, 2);
    model.setHorizontalHeaderLabels({"Name", "Size"});
    model.setHeaderData(1, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
    model.setItem(0, 0, new QStandardItem("a.jpg"));
    model.setItem(0, 1, new QStandardItem("12 KB"));
    model.setItem(1, 0, new QStandardItem("b.png"));
    QTreeView view;
    view.setModel(&model);
    view.header()->resizeSection(0, 150);
    const TPrintList list = PrintListFromView(view);
    ASSERT_EQ(list.Columns.size(), 2u);
    EXPECT_EQ(list.Columns[0].Caption, "Name");
    EXPECT_EQ(list.Columns[0].Width, 150);
    EXPECT_EQ(list.Columns[1].Alignment, TAlignment::taRightJustify);
    ASSERT_EQ(list.Items.size(), 2u);
    EXPECT_EQ(list.Items[0].Caption, "a.jpg");
    EXPECT_EQ(list.Items[0].SubItems, std::vector<std::string>{"12 KB"});
}

int PdfPages(const std::string& file)
{
    const std::string info = test::RunOutput("pdfinfo '" + file + "'");
    std::smatch m;
    return std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(m[1]) : -1;
}

TEST(PreviewPrinter, PrintsTheChosenRangeAsManyTimesAsCopies)
{
    if (!test::HaveTool("pdfinfo"))
        GTEST_SKIP() << "pdfinfo is not installed";
    test::TempDir dir;
    TestPrinter p;
    p.Title = "Listing";
    DrawPages(p, 5);
    std::vector<Status> log;
    Record(p, log);
    p.From = 2;
    p.To = 3;
    p.Copies = 2;
    p.OutputFile = dir.File("range.pdf");
    ASSERT_TRUE(p.Print());
    EXPECT_EQ(p.MaxPage, 5);
    EXPECT_EQ(PdfPages(p.OutputFile), 4);
    EXPECT_NE(test::RunOutput("pdfinfo '" + p.OutputFile + "'").find("612 x 792"), std::string::npos);
    EXPECT_EQ(log, (std::vector<Status>{{"Printing page 1", 1, 1},
                                        {"Printing page 2", 2, 1},
                                        {"Printing page 1", 1, 1},
                                        {"Printing page 2", 2, 1},
                                        {"Print Job Complete", -1, 3}}));
    if (test::HaveTool("pdftotext")) {
        const std::string text = test::RunOutput("pdftotext '" + p.OutputFile + "' -");
        EXPECT_NE(text.find("Page body 2"), std::string::npos);
        EXPECT_EQ(text.find("Page body 1"), std::string::npos);
        // Drawn an inch from the corner of the paper (72 points).
        const std::string boxes = test::RunOutput("pdftotext -bbox -f 1 -l 1 '" + p.OutputFile + "' -");
        std::smatch m;
        ASSERT_TRUE(
            std::regex_search(boxes, m, std::regex("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Page<")));
        EXPECT_NEAR(std::stod(m[1]), 72, 1);
        EXPECT_NEAR(std::stod(m[2]), 72, 2);
    }

    p.From = 0;
    p.Copies = 1;
    p.OutputFile = dir.File("all.pdf");
    ASSERT_TRUE(p.Print());
    EXPECT_EQ(PdfPages(p.OutputFile), 5);
}

TEST(PreviewPrinter, PrintAsksNothingWithoutPagesOrWhenCancelled)
{
    test::TempDir dir;
    TestPrinter p;
    p.OutputFile = dir.File("none.pdf");
    EXPECT_FALSE(p.Print());
    EXPECT_EQ(p.DialogRuns, 0);

    DrawPages(p, 1);
    p.Confirm = false;
    EXPECT_FALSE(p.Print());
    EXPECT_EQ(p.DialogRuns, 1);
    EXPECT_FALSE(std::filesystem::exists(p.OutputFile));
}

} // namespace
} // namespace lumeno
