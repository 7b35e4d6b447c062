#include "imagelib/pg_canvas_qt.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace lumeno {
namespace {

// Page width and height in points, and the page count, from pdfinfo.
struct TPdfInfo {
    double Width = 0, Height = 0;
    int Pages = 0;
    std::string Text;
};

TPdfInfo PdfInfo(const std::string& pdf)
{
    TPdfInfo r;
    r.Text = test::RunOutput("pdfinfo '" + pdf + "'");
    std::smatch m;
    if (std::regex_search(r.Text, m, std::regex(R"(Page size:\s+([0-9.]+) x ([0-9.]+))"))) {
        r.Width = std::stod(m[1]);
        r.Height = std::stod(m[2]);
    }
    if (std::regex_search(r.Text, m, std::regex(R"(Pages:\s+(\d+))")))
        r.Pages = std::stoi(m[1]);
    return r;
}

QImage Render(TPixelGraphic& g, int w, int h)
{
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    g.Draw(p, Rect(0, 0, w, h));
    return out;
}

TEST(PixelGraphicQt, DrawShowsEveryDepthUpright)
{
    for (std::uint8_t f : {pf1Bit, pf4Bit, pf8Bit, pf24Bit}) {
        TPixelGraphic g;
        g.SetDimensions(3, 2, f);
        if (f != pf24Bit)
            g.SetPaletteType(f == pf1Bit ? pBlackWhite : pSys16);
        g.SetPixelColor(0, 0, clWhite);
        if (f != pf1Bit)
            g.SetPixelColor(2, 1, clRed);
        const QImage img = Render(g, 6, 4); // stretched twice
        EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255)) << int(f);
        EXPECT_EQ(img.pixel(1, 1), qRgb(255, 255, 255)) << int(f);
        EXPECT_EQ(img.pixel(0, 3), qRgb(0, 0, 0)) << int(f);
        if (f != pf1Bit) {
            EXPECT_EQ(img.pixel(5, 3), qRgb(255, 0, 0)) << int(f);
        }
    }
    TPixelGraphic empty;
    EXPECT_EQ(Render(empty, 2, 2).pixel(0, 0), qRgb(0, 0, 0));
}

TEST(PixelGraphicQt, ExchangeWithQImage)
{
    QImage indexed(3, 2, QImage::Format_Indexed8);
    QList<QRgb> greys;
    for (int i = 0; i < 256; ++i)
        greys.append(qRgb(i, i, i));
    indexed.setColorTable(greys);
    indexed.fill(7);
    indexed.setPixel(2, 0, 200);
    TPixelGraphic g;
    g.SetGamma(1.0L);
    g.AssignFromGraphic(indexed);
    EXPECT_EQ(g.GetPixelFormat(), pf8Bit);
    EXPECT_EQ(g.GetPaletteType(), pGray256);
    EXPECT_EQ(g.GetPixel(2, 0), 200u);
    EXPECT_EQ(g.GetPixel(0, 1), 7u);
    EXPECT_EQ(g.GetGamma(), DefaultGamma);

    QImage argb(2, 2, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 255));
    argb.setPixel(1, 1, qRgba(200, 100, 50, 255));
    g.AssignFromGraphic(argb);
    EXPECT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(g.GetPixel(1, 1), RGB(200, 100, 50));

    QImage back;
    g.AssignToGraphic(back);
    EXPECT_EQ(back.pixel(1, 1), qRgb(200, 100, 50));
    EXPECT_EQ(back.pixel(1, 0), qRgb(10, 20, 30));
}

TEST(PixelGraphicQt, ClipboardRoundTrip)
{
    TPixelGraphic g;
    g.SetDimensions(5, 3, pf4Bit);
    g.SetPaletteType(pSys16);
    g.SetPixel(4, 0, 9);
    g.SetPixel(0, 2, 12);
    g.CopyToClipboard();

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QByteArray dib = mime->data("application/x-lumeno-dib");
    ASSERT_EQ(dib.size(), g.GetDIBSize());
    const std::vector<std::uint8_t> data(dib.begin(), dib.end());
    TPixelGraphic h;
    h.LoadFromClipboardFormat(CF_DIB, &data, 0);
    EXPECT_EQ(h.GetPixelFormat(), pf4Bit);
    EXPECT_EQ(h.GetPaletteType(), pSys16);
    EXPECT_EQ(h.GetPixel(4, 0), 9u);
    EXPECT_EQ(h.GetPixel(0, 2), 12u);

    const QImage image = qvariant_cast<QImage>(mime->imageData());
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(image.pixel(4, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 2), qRgb(0, 0, 255));
}

TEST(PixelGraphicQt, PrintsAWideImageLandscapeAndRestoresOrientation)
{
    test::TempDir dir;
    const std::string pdf = dir.File("out.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);

    TPixelGraphic g;
    g.SetDimensions(300, 100, pf24Bit);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 300; ++x)
            g.SetPixel(x, y, x < 150 ? clRed : clBlue);
    g.PrintOn(printer, false, true, nullptr);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    ASSERT_TRUE(std::filesystem::exists(pdf));

    if (!test::HaveTool("pdfinfo") || !test::HaveTool("pdftoppm"))
        GTEST_SKIP() << "poppler-utils not installed";
    const TPdfInfo info = PdfInfo(pdf);
    EXPECT_EQ(info.Pages, 1) << info.Text;
    EXPECT_NE(info.Text.find(" Graphic 300x100x24"), std::string::npos) << info.Text;
    EXPECT_NEAR(info.Width, 842, 1) << info.Text; // A4 landscape
    EXPECT_NEAR(info.Height, 595, 1) << info.Text;

    // The picture fills the page width from the top-left corner.
    ASSERT_EQ(test::Run("pdftoppm -r 20 -png '" + pdf + "' '" + dir.File("page") + "'"), 0);
    QImage page(QString::fromStdString(dir.File("page-1.png")));
    ASSERT_FALSE(page.isNull());
    ASSERT_GT(page.width(), page.height());
    const QRect paint = printer.pageLayout().paintRect(QPageLayout::Point).toRect();
    EXPECT_GT(paint.width(), 0);
    const int h = page.height();
    const int w = page.width();
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
               std::abs(qBlue(a) - qBlue(b)) < 40;
    };
    EXPECT_TRUE(near(page.pixel(w / 4, h / 6), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(page.pixel(w * 3 / 4, h / 6), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(page.pixel(w / 2, h * 5 / 6), qRgb(255, 255, 255)));
}

TEST(PixelGraphicQt, TallImagePrintsPortraitAndEmptyPrintsNothing)
{
    test::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("tall.pdf")));
    printer.setPageOrientation(QPageLayout::Landscape);
    TPixelGraphic empty;
    empty.PrintOn(printer, false, true, nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir.File("tall.pdf")));

    TPixelGraphic g;
    g.SetDimensions(100, 300, pf8Bit);
    g.SetPaletteType(pGray256);
    g.PrintOn(printer, false, true, nullptr);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    ASSERT_TRUE(std::filesystem::exists(dir.File("tall.pdf")));
    if (!test::HaveTool("pdfinfo"))
        GTEST_SKIP() << "poppler-utils not installed";
    const TPdfInfo info = PdfInfo(dir.File("tall.pdf"));
    EXPECT_LT(info.Width, info.Height) << info.Text;
}

// Printing without a printer once replaced the last print of the same size
// without a word.
TEST(PixelGraphicQt, PrintWithoutPrinterWritesANewPdfAndSaysWhere)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    test::RecordingDialogs dialogs;
    const std::string folder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    std::filesystem::remove_all(folder);
    TPixelGraphic g;
    g.SetDimensions(20, 10, pf24Bit);
    g.Print(false, true, nullptr);
    g.Print(false, true, nullptr);
    std::vector<std::string> pdfs;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".pdf" && std::filesystem::file_size(e.path()) > 0)
            pdfs.push_back(e.path().string());
    std::sort(pdfs.begin(), pdfs.end());
    ASSERT_EQ(pdfs.size(), 2u);
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_NE(dialogs.Shown()[0].Text.find("\"" + pdfs[1] + "\""), std::string::npos)
        << dialogs.Shown()[0].Text;
    EXPECT_NE(dialogs.Shown()[1].Text.find("\"" + pdfs[0] + "\""), std::string::npos)
        << dialogs.Shown()[1].Text;

    // No picture, no file.
    TPixelGraphic empty;
    empty.Print(false, true, nullptr);
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
}

} // namespace
} // namespace lumeno
