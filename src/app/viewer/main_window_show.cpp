// Showing a file in the viewer that suits it, and fitting it to the panel.

#include "app/common/file_list.h"
#include "app/common/view_fit.h"
#include "app/viewer/main_window.h"
#include "app/viewer/picture_box.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/gif_image.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/dialogs.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QToolButton>
#include <QTreeWidget>

namespace lumeno {

void TForm1::ShowFile(const std::string& Path)
{
    currentFile_ = Path;
    currentExt_ = ShowExt(Path);
    loader_.Execute();
}

void TForm1::PreReadNext()
{
    int first = -1;
    for (int i = 0; i < SLV1->topLevelItemCount() && first < 0; ++i)
        if (SLV1->topLevelItem(i)->isSelected())
            first = i;
    // Nothing selected, as at start: the user steps on from the file shown.
    if (first < 0)
        first = ShownRow();
    const int next = SlideIndex(SLV1->topLevelItemCount(), first, true);
    if (next < 0)
        return;
    const std::string path = ItemPath(SLV1->topLevelItem(next)->text(0));
    if (path == currentFile_ || path == preRead_.Path() || Viewer(ShowExt(path)) != PGImage1)
        return;
    preRead_.Start(path, PGImage1->GetBackGroundColor());
}

int TForm1::ShownRow() const
{
    const QString name = QFileInfo(QString::fromStdString(currentFile_)).fileName();
    if (ItemPath(name) != currentFile_)
        return -1;
    const QList<QTreeWidgetItem*> found = SLV1->findItems(name, Qt::MatchExactly, 0);
    return found.isEmpty() ? -1 : SLV1->indexOfTopLevelItem(found.first());
}

void TForm1::ReadFullPicture(const std::string& Path, QSize Full)
{
    fullPath_ = Path;
    fullSize_ = Full;
    // The read-ahead stops and waits for its worker before this window goes.
    preRead_.Start(Path, PGImage1->GetBackGroundColor(), [this, Path] {
        QMetaObject::invokeMethod(
            this,
            [this, Path] {
                if (Path == fullPath_)
                    TakeFullPicture();
            },
            Qt::QueuedConnection);
    });
}

void TForm1::DropFullPicture()
{
    fullPath_.clear();
}

void TForm1::TakeFullPicture()
{
    if (fullPath_.empty())
        return;
    const std::string path = std::move(fullPath_);
    fullPath_.clear();
    try {
        if (!loader_.TakeReadAhead(path))
            loader_.ReadWhole(path);
        FitViewer(ShowExt(path));
    } catch (const std::exception&) {
        ShowMessage("Error reading image file");
    }
    PreReadNext();
}

void TForm1::HideViewers()
{
    AVIPlay1->SetActive(false);
    AVIPlay1->hide();
    Image1->hide();
    GIFImage1->SetAnimate(false);
    GIFImage1->hide();
    PGImage1->hide();
}

QWidget* TForm1::Viewer(const std::string& Ext) const
{
    if (Ext == "AVI")
        return AVIPlay1;
    if (Ext == "GIF")
        return GIFImage1;
    if (Ext == "WMF" || Ext == "ICO")
        return Image1;
    return PGImage1;
}

QSize TForm1::PictureSize(const std::string& Ext) const
{
    if (Ext == "AVI")
        return {AVIPlay1->FrameWidth(), AVIPlay1->FrameHeight()};
    if (Ext == "GIF")
        return GIFImage1->PictureSize();
    if (Ext == "WMF" || Ext == "ICO")
        return Image1->PictureSize();
    if (FullPicturePending())
        return fullSize_;
    return {PGImage1->GetPixelGraphicWidth(), PGImage1->GetPixelGraphicHeight()};
}

void TForm1::FitViewer(const std::string& Ext)
{
    const QSize size = FitToPanelSize(RightMain->size(), PictureSize(Ext));
    if (size.isValid())
        Viewer(Ext)->resize(size);
}

void TForm1::FitImageToPanel()
{
    FitViewer(currentExt_);
}

void TForm1::ShrinkAviPlayer(TDCAVIPlay* Player)
{
    Player->resize(ShrinkAviSize({Player->FrameWidth(), Player->FrameHeight()}));
}

void TForm1::ZoomIn1Click()
{
    FitImageToPanel();
}

void TForm1::ZoomOut1Click()
{
    if (OneSelected(SLV1))
        ShowFile(ItemPath(SLV1->selectedItems().first()->text(0)));
}

void TForm1::AutoZoomClick()
{
    if (AutoZoom->isChecked())
        FitImageToPanel();
    else
        ZoomOut1Click();
}

void TForm1::RightMainResize()
{
    if (OneSelected(SLV1))
        FitImageToPanel();
}

} // namespace lumeno
