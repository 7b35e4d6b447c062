// Recording the album's pages: cells are prepared on workers and recorded
// here in entry order while the window stays responsive; Esc stops after
// the entry being recorded.

#include "app/album/album_cell.h"
#include "app/album/album_host.h"
#include "app/album/album_preview_run.h"
#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "imagelib/parallel_ranges.h"
#include "platform/dialogs.h"
#include "platform/qt/asking_window.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace lumeno {

std::unique_ptr<TPixelGraphic> TfAlbum::LoadRotatedImage(const std::string& FileName, int Angle)
{
    if (Angle != 90 && Angle != 180 && Angle != 270 && Angle != 360)
        return nullptr;
    TPixelGraphic image;
    image.SetReadWarningAction(pgwaIgnore);
    image.LoadFromFile(FileName);
    return RotatedCopy(image, Angle);
}

bool TfAlbum::PreviewRunning() const
{
    return run_ && run_->Running();
}

void TfAlbum::PreviewClick()
{
    StartPreview();
}

void TfAlbum::ContactSheetClick()
{
    PreviewPrinter1.Orientation = TPrinterOrientation::poLandscape;
    TAlbumOptions o = fAPrefs()->Options();
    o.Cols = 6;
    o.Rows = 6;
    o.Border = 100;
    o.Caption = acFilename;
    o.CaptionPlacement = acpUnderImage;
    fAPrefs()->SetOptions(o);
    StartPreview();
}

TAlbumPage TfAlbum::PrintedPage()
{
    // The margins are in the printer's units, inches or centimetres.
    const TDeviceMetrics& m = PreviewPrinter1.Metrics();
    const TTextOptions& t = PreviewPrinter1.TextOptions();
    const auto pixelsX = [this](double v) { return int(Round(PreviewPrinter1.UnitsToPixelsX(v))); };
    const auto pixelsY = [this](double v) { return int(Round(PreviewPrinter1.UnitsToPixelsY(v))); };
    return {m.PhysicalWidth,      m.PhysicalHeight,       pixelsX(t.MarginLeft),
            pixelsY(t.MarginTop), pixelsX(t.MarginRight), pixelsY(t.MarginBottom)};
}

std::vector<TAlbumCellJob> TfAlbum::PreviewJobs(const TAlbumOptions& options, const TAlbumCells& cells)
{
    const TDeviceMetrics& m = PreviewPrinter1.Metrics();
    const TExifDateReader readDate = AlbumHost().ExifDateReader();
    std::vector<TAlbumCellJob> jobs;
    for (int i = 0; i < int(runEntries_.size()); ++i) {
        const TAlbumEntry& e = runEntries_[std::size_t(i)];
        jobs.push_back({i, e.Path, e.Rotation, cells.Cells[std::size_t(AlbumCellOf(i, runPerPage_))],
                        m.PixelsPerInchX, m.PixelsPerInchY, options, e.Caption, readDate});
    }
    return jobs;
}

void TfAlbum::StartPreview()
{
    if (PreviewRunning())
        return;
    run_.reset();
    const TAlbumOptions options = fAPrefs()->Options();
    runEntries_ = Entries();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PB1->setRange(0, std::max(int(runEntries_.size()), 1));
    PB1->setValue(0);

    PreviewPrinter1.BeginDoc();
    runPerPage_ = options.Rows * options.Cols;
    runPage_ = 1;
    runFrames_ = options.PrintFrames;
    runUnderCaptions_ = options.Caption != acNone && options.CaptionPlacement == acpUnderImage;
    if (options.Caption != acNone) {
        TQuorMetaFileCanvas& canvas = PreviewPrinter1.Canvas();
        canvas.SetFont(captionFont_);
        canvas.SetFontColor(options.CaptionColor);
    }
    PreviewPrinter1.DrawHeaderFooter(runPage_);

    run_ = std::make_unique<TAlbumPreviewRun>(
        PreviewJobs(options, AlbumCellLayout(PrintedPage(), options.Rows, options.Cols)),
        [this](TAlbumCellPicture& picture) { RecordCell(picture); }, [this] { FinishPreview(); });
    run_->Start(AvailableCpus());
    UpdateCommands();
}

namespace {

void DrawCellFrame(QPainter& p, const TRect& cell)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(cell.Left, cell.Top, cell.Width() - 1, cell.Height() - 1));
    p.restore();
}

} // namespace

void TfAlbum::RecordCell(TAlbumCellPicture& picture)
{
    const int i = picture.Index;
    const int count = int(runEntries_.size());
    const std::string& path = runEntries_[std::size_t(i)].Path;
    SB1Panel0->setText(QString::fromStdString("Hit ESC to break - " + path));
    SB1Panel1->setText(QString::fromStdString(AlbumCountText(i + 1, count)));
    if (i > 0 && AlbumCellOf(i, runPerPage_) == 0) {
        PreviewPrinter1.NewPage();
        PreviewPrinter1.DrawHeaderFooter(++runPage_);
    }
    TQuorMetaFileCanvas& canvas = PreviewPrinter1.Canvas();
    const TRect& cell = picture.Cell;
    if (runFrames_)
        DrawCellFrame(canvas.Painter(), cell);
    const TRect& r = picture.ImageRect;
    if (picture.Metafile) {
        picture.Metafile->Play(canvas.Painter(), QRectF(r.Left, r.Top, r.Width(), r.Height()));
    } else if (picture.Picture) {
        picture.Picture->Draw(canvas.Painter(), r);
        const std::string& text = picture.CaptionText;
        if (runUnderCaptions_ && !text.empty()) {
            const TPoint at = UnderImageCaptionOrigin(cell, canvas.TextWidth(text), canvas.TextHeight());
            canvas.TextOut(at.X, at.Y, text);
        }
    }
    PB1->setValue(i + 1);
    if (!picture.Error.empty()) {
        // Cells come from the pool's hand-over, not from an event of ours.
        const TAskingWindow asking(this);
        MessageDlg("Can't load graphic file " + path, TMsgDlgType::mtError, mbOK);
    }
}

void TfAlbum::StopPreview(bool showPages)
{
    if (!PreviewRunning())
        return;
    run_->Stop();
    FinishPreview(showPages);
}

void TfAlbum::FinishPreview(bool showPages)
{
    PreviewPrinter1.EndDoc();
    PreviewPrinter1.ZoomOption = TZoomOption::zoFitToPage;
    QApplication::restoreOverrideCursor();
    PB1->setValue(0);
    SB1Panel0->setText("Done");
    UpdateCommands();
    update();
    if (!showPages || PreviewPrinter1.PageCount() == 0)
        return;
    // Shown once the recording's call stack has unwound.
    QTimer::singleShot(0, this, [this] {
        if (ShowPreview)
            ShowPreview(PreviewPrinter1);
    });
}

} // namespace lumeno
