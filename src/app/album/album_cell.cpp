#include "app/album/album_cell.h"

#include "app/album/album_frames.h"
#include "app/common/file_types.h"
#include "app/effects/quarter_turn.h"
#include "imagelib/filters/point_filters.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_canvas_qt.h"
#include "platform/stream.h"

#include <QFontMetrics>

namespace lumeno {

namespace {

// The picture's height / width and how large it must be decoded, before
// loading: from the file's header where the format tells it.
bool HeaderRatio(const std::string& path, int rotation, double& ratio)
{
    TGraphicInfo info;
    if (!GetGraphicFileInfo(path, 0, info) || info.Width <= 0 || info.Height <= 0)
        return false;
    ratio = rotation % 2 ? double(info.Width) / info.Height : double(info.Height) / info.Width;
    return true;
}

void PrepareMetafile(const TAlbumCellJob& job, TAlbumCellPicture& result)
{
    auto metafile = std::make_unique<TMetafile>();
    TFileStream stream(job.Path, TFileMode::fmOpenRead);
    metafile->LoadFromStream(stream);
    if (metafile->GetWidth() <= 0 || metafile->GetHeight() <= 0)
        throw Exception("empty picture");
    const double ratio = double(metafile->GetHeight()) / metafile->GetWidth();
    result.ImageRect = FitInCell(job.Cell, ratio, job.Options.Border);
    result.Metafile = std::move(metafile);
}

std::string CaptionText(const TAlbumCellJob& job)
{
    const int choice = job.Options.Caption;
    const bool dated = (choice == acDateTime || choice == acFilenameDateTime) && job.ReadDate;
    return AlbumCaptionText(choice, job.Path, job.Caption, dated ? job.ReadDate(job.Path) : std::string(),
                            job.Options.CustomCaption);
}

void DrawEmbeddedCaption(TPixelGraphic& q, const TAlbumCellJob& job, const std::string& caption)
{
    QFont font("Arial");
    font.setPointSize(EmbeddedFontSize(job.Options.Quality));
    const QFontMetrics metrics(font);
    const QString text = QString::fromStdString(caption);
    const TRect box = EmbeddedCaptionBox(q.GetWidth(), q.GetHeight(), metrics.horizontalAdvance(text),
                                         metrics.height(), job.Options.EmbeddedPosition);
    if (!job.Options.TransparentBackground) {
        TPixelGraphic under;
        under.SetDimensions(box.Width(), box.Height(), pf24Bit);
        under.CopyRect(0, 0, box.Width(), box.Height(), box.Left, box.Top, q);
        TBCGFilter filter;
        filter.SetBrightness(30);
        filter.SetContrast(0.7L);
        under.ApplyFilter(filter, under);
        q.CopyRect(box.Left, box.Top, box.Width(), box.Height(), 0, 0, under);
    }
    QPainter& painter = q.GetCanvas()->Painter();
    painter.setFont(font);
    painter.setBrush(Qt::NoBrush);
    const TColor c = job.Options.CaptionColor;
    painter.setPen(QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))));
    painter.drawText(QRect(box.Left, box.Top, box.Width(), box.Height()),
                     Qt::AlignCenter | Qt::TextSingleLine, text);
    q.Flush();
}

void PrepareImage(const TAlbumCellJob& job, TAlbumCellPicture& result)
{
    double ratio = 0;
    const bool known = HeaderRatio(job.Path, job.Rotation, ratio);
    TRect rect = FitInCell(job.Cell, known ? ratio : 1.0, job.Options.Border);
    TPoint size = WorkPictureSize(rect.Width(), rect.Height(), job.PpiX, job.PpiY, job.Options.Quality);

    auto image = std::make_unique<TPixelGraphic>();
    image->SetReadWarningAction(pgwaIgnore);
    if (job.Rotation % 2)
        image->LoadFromFileAtLeast(job.Path, size.Y, size.X);
    else
        image->LoadFromFileAtLeast(job.Path, size.X, size.Y);
    if (image->GetWidth() <= 0 || image->GetHeight() <= 0)
        throw Exception("empty picture");
    if (job.Rotation > 0)
        image = RotatedCopy(*image, job.Rotation * 90);
    if (!known) {
        rect = FitInCell(job.Cell, double(image->GetHeight()) / image->GetWidth(), job.Options.Border);
        size = WorkPictureSize(rect.Width(), rect.Height(), job.PpiX, job.PpiY, job.Options.Quality);
    }

    auto q = std::make_unique<TPixelGraphic>();
    q->SetDimensions(size.X, size.Y, pf24Bit);
    q->SetStretchMode(QualityStretchMode(job.Options.Quality));
    q->StretchFrom(*image);
    image.reset();
    if (job.Options.CaptionPlacement == acpEmbedded && !result.CaptionText.empty())
        DrawEmbeddedCaption(*q, job, result.CaptionText);
    ApplyAlbumBorderEffect(*q, job.Options.BorderEffect, job.PpiX);
    result.ImageRect = rect;
    result.Picture = std::move(q);
}

} // namespace

std::unique_ptr<TPixelGraphic> RotatedCopy(TPixelGraphic& source, int angle)
{
    if (angle != 90 && angle != 180 && angle != 270 && angle != 360)
        return nullptr;
    auto result = std::make_unique<TPixelGraphic>();
    TurnQuarters(*result, source, angle / 90);
    return result;
}

TAlbumCellPicture PrepareAlbumCell(const TAlbumCellJob& job)
{
    TAlbumCellPicture result;
    result.Index = job.Index;
    result.Cell = job.Cell;
    try {
        result.CaptionText = CaptionText(job);
        if (FileTypeOf(job.Path) == TFileType::ftWMF)
            PrepareMetafile(job, result);
        else
            PrepareImage(job, result);
    } catch (const std::exception& e) {
        result.Picture.reset();
        result.Metafile.reset();
        result.Error = e.what();
    }
    return result;
}

} // namespace lumeno
