#include "app/viewer/load_file.h"

#include "app/common/view_fit.h"
#include "app/viewer/first_picture.h"
#include "app/viewer/main_window.h"
#include "app/viewer/picture_box.h"
#include "controls/media/aled.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/gif_image.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/file_utils.h"
#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/dialogs.h"
#include "platform/exception.h"

#include <QAction>
#include <QFileInfo>
#include <QMetaObject>
#include <QToolButton>

namespace lumeno {

void TLoadFile::Execute()
{
    if (pending_)
        return;
    pending_ = true;
    QMetaObject::invokeMethod(&form_, [this] { LoadAndShow(); }, Qt::QueuedConnection);
}

void TLoadFile::LoadAndShow()
{
    pending_ = false;
    ++loads_;
    const std::string path = form_.currentFile_;
    ext_ = ShowExt(path);
    // The lamp and the status panels paint at once, to be seen while a read
    // blocks; a picture at hand needs no read and goes on screen with them
    // in one paint.
    const bool atHand = AtHand(path);
    if (!atHand)
        form_.ALed1->SetValue(true);
    form_.SB1->setUpdatesEnabled(!atHand);
    try {
        LoadInto(path);
    } catch (const std::exception&) {
        ShowMessage("Error reading image file");
    }
    form_.SB1->setUpdatesEnabled(true);
    form_.ALed1->SetValue(false);
}

void TLoadFile::LoadInto(const std::string& Path)
{
    form_.DropFullPicture();
    form_.SetStatus(2, SizeText(GetFileSizeByName(Path)));
    const std::string name = QFileInfo(QString::fromStdString(Path)).fileName().toStdString();
    form_.HideViewers();
    const bool movie = ext_ == "AVI";
    form_.EnableCommand("Convert1", !movie);
    form_.EnableCommand("EditFileinLumeno1", !movie);
    if (movie) {
        TDCAVIPlay* player = form_.AVIPlay1;
        player->SetFileName(QString::fromStdString(Path));
        if (!player->IsOpen())
            throw Exception("Cannot open " + Path);
        const QSize frame(player->FrameWidth(), player->FrameHeight());
        player->resize(frame);
        const QSize panel = form_.RightMain->size();
        if (frame.height() > panel.height() - 8 || frame.width() > panel.width() - 8)
            form_.ShrinkAviPlayer(player);
        form_.SetStatus(3, PictureText(name, frame.width(), frame.height()));
        if (form_.AutoZoom->isChecked())
            FitToPanel();
        player->show();
        player->SetActive(true);
        return;
    }
    if (ext_ == "GIF") {
        TGIFImage* gif = form_.GIFImage1;
        if (!gif->LoadFromFile(Path))
            throw Exception("Cannot open " + Path);
        ShowPicture(gif, gif->PictureSize().width(), gif->PictureSize().height(), name);
        gif->SetAnimate(gif->FrameCount() > 1);
    } else if (ext_ == "WMF" || ext_ == "ICO") {
        form_.Image1->LoadFromFile(Path);
        ShowPicture(form_.Image1, form_.Image1->PictureSize().width(), form_.Image1->PictureSize().height(), name);
    } else {
        const QSize size = LoadStill(Path);
        ShowPicture(form_.PGImage1, size.width(), size.height(), name);
        // On screen before the next read starts, which would slow the paint.
        form_.SB1->setUpdatesEnabled(true);
        form_.PGImage1->viewport()->repaint();
        if (!form_.FullPicturePending())
            form_.PreReadNext();
    }
}

QSize TLoadFile::FirstPictureFullSize(const std::string& Path) const
{
    if (ext_ != "JPG" && ext_ != "JPE")
        return {};
    TGraphicInfo info;
    if (!GetGraphicFileInfo(Path, 0, info))
        return {};
    const QSize full(info.Width, info.Height);
    const QSize panel = form_.RightMain->size();
    const bool fitted = panel.width() < full.width() + 8 || panel.height() < full.height() + 8 ||
                        form_.AutoZoom->isChecked();
    const QSize shown = FitToPanelSize(panel, full);
    // The decoder scales by eighths: below half size it saves most of the work.
    if (!fitted || !shown.isValid() || shown.width() * 2 > full.width() || shown.height() * 2 > full.height())
        return {};
    return full;
}

QSize TLoadFile::LoadStill(const std::string& Path)
{
    TPGImage* view = form_.PGImage1;
    // Only the start-up file's first showing can use its early decode.
    const std::unique_ptr<TFirstPicture> early = std::move(form_.firstPicture_);
    // A click on the row of the picture shown must not cost a read, nor the
    // read-ahead of the next one.
    if (Holds(Path) || TakeReadAhead(Path))
        return {view->GetPixelGraphicWidth(), view->GetPixelGraphicHeight()};
    wholePath_.clear();
    const QSize full = FirstPictureFullSize(Path);
    if (!full.isValid()) {
        ReadWhole(Path);
        return {view->GetPixelGraphicWidth(), view->GetPixelGraphicHeight()};
    }
    const QSize shown = FitToPanelSize(form_.RightMain->size(), full);
    std::unique_ptr<TPixelGraphic> first = early ? early->Take(Path, shown) : nullptr;
    if (!first) {
        first = std::make_unique<TPixelGraphic>();
        first->SetReadWarningAction(pgwaIgnore);
        first->LoadFromFileAtLeast(Path, shown.width(), shown.height());
    }
    first->SetFillColor(view->GetBackGroundColor());
    view->SetPixelGraphic(std::move(first), Path);
    form_.ReadFullPicture(Path, full);
    return full;
}

bool TLoadFile::Holds(const std::string& Path) const
{
    return Path == wholePath_ && FileStampOf(Path) == wholeStamp_;
}

bool TLoadFile::AtHand(const std::string& Path) const
{
    return form_.Viewer(ext_) == form_.PGImage1 && (Holds(Path) || form_.preRead_.Ready(Path));
}

bool TLoadFile::TakeReadAhead(const std::string& Path)
{
    TFileStamp stamp;
    std::unique_ptr<TPixelGraphic> image = form_.preRead_.Take(Path, &stamp);
    if (!image)
        return false;
    form_.PGImage1->SetPixelGraphic(std::move(image), Path);
    wholePath_ = Path;
    wholeStamp_ = stamp;
    return true;
}

void TLoadFile::ReadWhole(const std::string& Path)
{
    // Taken before the read: a change while reading makes the next showing read again.
    const TFileStamp stamp = FileStampOf(Path);
    form_.PGImage1->SetFileName(Path);
    wholePath_ = Path;
    wholeStamp_ = stamp;
}

void TLoadFile::ShowPicture(QWidget* Viewer, int Width, int Height, const std::string& Name)
{
    form_.SetStatus(3, PictureText(Name, Width, Height));
    const QSize panel = form_.RightMain->size();
    if (panel.width() < Width + 8 || panel.height() < Height + 8) {
        FitToPanel();
    } else {
        Viewer->resize(std::max(Width, 1), std::max(Height, 1));
        if (form_.AutoZoom->isChecked())
            FitToPanel();
    }
    Viewer->show();
}

void TLoadFile::FitToPanel()
{
    form_.FitViewer(ext_);
}

} // namespace lumeno
