#pragma once
// A preview printer set up for tests: US letter at 600 pixels per inch,
// printing into a PDF file, with the printer dialog answered by the test.

#include "controls/media/page_metafile.h"
#include "controls/media/preview_printer.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <string>

namespace lumeno::test {

class TestPrinter : public TPreviewPrinter {
public:
    explicit TestPrinter(int dpi = 600)
    {
        Printer().setOutputFormat(QPrinter::PdfFormat);
        Printer().setResolution(dpi);
        Printer().setPageSize(QPageSize(QPageSize::Letter));
        Printer().setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    }

    // The answers of the next printer dialog.
    bool Confirm = true;
    int From = 0; // 0: all pages
    int To = 0;
    int Copies = 1;
    std::string OutputFile;
    int DialogRuns = 0;

protected:
    bool RunPrintDialog(QPrinter& printer, int maxPage) override
    {
        ++DialogRuns;
        MaxPage = maxPage;
        printer.setPrintRange(From > 0 ? QPrinter::PageRange : QPrinter::AllPages);
        if (From > 0)
            printer.setFromTo(From, To);
        printer.setCopyCount(Copies);
        printer.setOutputFileName(QString::fromStdString(OutputFile));
        return Confirm;
    }

public:
    int MaxPage = 0;
};

// The page drawn on white at a quarter of its size, small enough to look at.
inline QImage QuarterPageImage(const TPageMetafile& page)
{
    QImage image(page.Metrics().PhysicalWidth / 4, page.Metrics().PhysicalHeight / 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(0.25, 0.25);
    PlayPage(painter, page);
    return image;
}

} // namespace lumeno::test
