// The image's members that draw, print and use the clipboard.

#include "imagelib/pg_canvas_qt.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "platform/dialogs.h"
#include "platform/stream.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace lumeno {

namespace {

// Our own packed DIB next to the image Qt understands, so a paste within
// the program gets back exactly the pixels and palette that were copied.
const char* const DIBMimeType = "application/x-lumeno-dib";

// Restores the printer's orientation whatever happens while printing.
class TOrientationGuard {
public:
    explicit TOrientationGuard(QPrinter& printer)
        : printer_(printer), old_(printer.pageLayout().orientation())
    {
    }
    ~TOrientationGuard() { printer_.setPageOrientation(old_); }
    TOrientationGuard(const TOrientationGuard&) = delete;
    TOrientationGuard& operator=(const TOrientationGuard&) = delete;

private:
    QPrinter& printer_;
    QPageLayout::Orientation old_;
};

// Largest rectangle at the top-left of the page that keeps the picture's
// proportions on paper, allowing for printers with non-square pixels.
QRect PrintRect(const QPrinter& printer, int width, int height)
{
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double pw = page.width(), ph = page.height();
    // Device aspect: the relative width and height of one printer pixel.
    const double aspectX = 1.0 / printer.logicalDpiX();
    const double aspectY = 1.0 / printer.logicalDpiY();
    if (aspectY * pw / ph / aspectX <= static_cast<double>(width) / height)
        return QRect(0, 0, static_cast<int>(pw), static_cast<int>(pw * aspectX * height / (width * aspectY)));
    return QRect(0, 0, static_cast<int>(ph * aspectY * width / (height * aspectX)), static_cast<int>(ph));
}

// A name in the documents folder that no file has, claimed by creating the
// file empty, so an earlier print is never replaced.
QString ClaimNewPdf(const QString& stem)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(folder);
    for (int n = 1;; ++n) {
        const QString name =
            folder + "/" + stem + (n > 1 ? QStringLiteral(" (%1)").arg(n) : QString()) + ".pdf";
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        if (file.exists() && n < 10000)
            continue;
        throw EPixelGraphic("Cannot create file \"" + name.toStdString() + "\". " +
                            file.errorString().toStdString());
    }
}

// Nothing was printed into a claimed file (no picture, or the dialog sent
// the print elsewhere or was cancelled).
void DropIfEmpty(const QString& claimed)
{
    if (QFileInfo(claimed).size() == 0)
        QFile::remove(claimed);
}

} // namespace

void TPixelGraphic::Draw(QPainter& Painter, const TRect& Rect)
{
    if (FWidth < 1 || FHeight < 1)
        return;
    Flush();
    const QImage image = ToQImage(*this);
    Painter.save();
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter.drawImage(QRect(Rect.Left, Rect.Top, Rect.Width(), Rect.Height()), image);
    Painter.restore();
}

// Through a packed DIB, so the usual reader rules (and palette detection)
// apply to whatever Qt holds.
void TPixelGraphic::AssignFromGraphic(const QImage& Source)
{
    QImage image = Source;
    if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_Indexed8)
        image = image.convertToFormat(QImage::Format_RGB32);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        throw EPixelGraphic(GetPGLangStrS1(31, "AssignFromGraphic"));
    constexpr int FileHeaderSize = 14;
    TMemoryStream dib(bmp.constData() + FileHeaderSize, bmp.size() - FileHeaderSize);
    Flush();
    BeginUpdate();
    try {
        FGamma = DefaultGamma;
        LoadFromDIBStream(dib, false);
        DetectPaletteType();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TPixelGraphic::AssignToGraphic(QImage& Dest)
{
    Dest = ToQImage(*this);
}

TPGCanvas* TPixelGraphic::GetCanvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TPGCanvas>(*this);
    FFlushPending = true;
    return static_cast<TPGCanvas*>(FCanvas.get());
}

void TPixelGraphic::CopyToClipboard()
{
    unsigned format = 0;
    std::vector<std::uint8_t> data;
    std::uintptr_t palette = 0;
    SaveToClipboardFormat(format, data, palette);
    auto* mime = new QMimeData;
    mime->setImageData(ToQImage(*this));
    mime->setData(DIBMimeType, QByteArray(reinterpret_cast<const char*>(data.data()),
                                          static_cast<qsizetype>(data.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
}

// Without a printer the picture goes into a new PDF file, and the user is
// told its name.
void TPixelGraphic::Print(bool ShowDialog, bool AutoOrientation, QWidget* Owner)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        PrintOn(printer, ShowDialog, AutoOrientation, Owner);
        return;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString claimed = ClaimNewPdf(QStringLiteral("%1 Graphic %2x%3")
                                            .arg(QGuiApplication::applicationDisplayName())
                                            .arg(FWidth)
                                            .arg(FHeight));
    printer.setOutputFileName(claimed);
    try {
        PrintOn(printer, ShowDialog, AutoOrientation, Owner);
    } catch (...) {
        DropIfEmpty(claimed);
        throw;
    }
    DropIfEmpty(claimed);
    if (QFileInfo(printer.outputFileName()).size() > 0)
        ShowMessage("No printer is installed. The picture was printed to the file \"" +
                    printer.outputFileName().toStdString() + "\".");
}

void TPixelGraphic::PrintOn(QPrinter& Printer, bool ShowDialog, bool AutoOrientation, QWidget* Owner)
{
    if (GetEmpty())
        return;
    if (ShowDialog) {
        QPrintDialog dialog(&Printer, Owner);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    TOrientationGuard orientation(Printer);
    if (AutoOrientation && FWidth != FHeight)
        Printer.setPageOrientation(FWidth > FHeight ? QPageLayout::Landscape : QPageLayout::Portrait);
    Printer.setDocName(QStringLiteral("%1 Graphic %2x%3x%4")
                           .arg(QGuiApplication::applicationDisplayName())
                           .arg(FWidth)
                           .arg(FHeight)
                           .arg(GetBitsPerPixel()));
    QPainter painter;
    if (!painter.begin(&Printer))
        throw EPixelGraphic(GetPGLangStrS1(31, "StartDoc"));
    try {
        const QRect r = PrintRect(Printer, FWidth, FHeight);
        Draw(painter, Bounds(r.left(), r.top(), r.width(), r.height()));
    } catch (...) {
        painter.end();
        throw;
    }
    painter.end();
}

} // namespace lumeno
