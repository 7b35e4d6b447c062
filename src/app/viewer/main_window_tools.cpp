// The tool windows the main window opens: the image editor, the converter,
// the file mover, the album, the sheet creator, the thumbnail explorer and
// the desktop commands.

#include "app/album/f_album.h"
#include "app/common/window_holder.h"
#include "app/editor/editor_host.h"
#include "app/editor/frm_acquire.h"
#include "app/sheet/frm_thumb_edit.h"
#include "app/thumbs/thumbnails_form.h"
#include "app/viewer/main_window.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_links.h"
#include "app/viewer/screen_cursors.h"
#include "imagelib/twain/pg_twain.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QDir>
#include <QTreeWidget>

namespace lumeno {

namespace {

class TMainEditorHost : public TEditorHost {
public:
    explicit TMainEditorHost(TForm1& Form) : form_(Form) {}

    std::string TreeFolder() const override { return form_.ListedFolder(); }
    std::string ThumbFolder() const override
    {
        const TfrmThumbnails* thumbs = MadeWindow<TfrmThumbnails>();
        return thumbs ? thumbs->Folder() : QDir::homePath().toStdString();
    }
    bool TwainPresent() const override { return PGTwain().TWAIN_IsAvailable(); }
    QCursor ZoomCursor() const override { return ScreenCursor(5); }
    void ShowHelp(int Context) const override { form_.ShowHelpContext(Context); }

private:
    TForm1& form_;
};

} // namespace

void TForm1::InstallEditorHost()
{
    editorHost_ = std::make_unique<TMainEditorHost>(*this);
    SetEditorHost(editorHost_.get());
}

void TForm1::InLumeno1Click()
{
    if (!OneSelected(SLV1))
        return;
    const std::string path = ItemPath(SLV1->selectedItems().first()->text(0));
    TWaitCursor wait;
    try {
        frmAcquire()->EditFile(path);
    } catch (const std::exception&) {
        ShowMessage("Can not edit " + path);
    }
}

void TForm1::Retouvo1Click()
{
    frmAcquire()->show();
    frmAcquire()->raise();
    frmAcquire()->activateWindow();
}

void TForm1::Convert1Click()
{
    MainConvert(*this);
}

void TForm1::Movefilestoselecteddirectory1Click()
{
    MainMoveFiles();
}

void TForm1::RenameFile1Click()
{
    MainRenameFile(*this);
}

void TForm1::FileAttributes1Click()
{
    MainFileAttributes(*this);
}

void TForm1::AddFolder1Click()
{
    MainAddFolder(*this);
}

void TForm1::DeleteFolder1Click()
{
    MainDeleteFolder(*this);
}

void TForm1::IncrementalRename1Click()
{
    MainIncrementalRename();
}

namespace {

void ShowTool(QWidget* Window)
{
    Window->show();
    Window->raise();
    Window->activateWindow();
}

} // namespace

void TForm1::Folvios1Click()
{
    ShowTool(fAlbum());
}

void TForm1::GlimpsetCreator1Click()
{
    ShowTool(frmThumbEdit());
}

void TForm1::Glimpset1Click()
{
    MainThumbnailExplorer(*this);
}

void TForm1::SearchFiles1Click()
{
    MainSearchFiles();
}

void TForm1::SetPreferences1Click()
{
    MainSetPreferences();
}

void TForm1::InExternalEditor1Click()
{
    MainEditWithExternalEditor(*this);
}

void TForm1::PrintFolderListing1Click()
{
    MainPrintFolderListing(*this);
}

void TForm1::PrintImage1Click()
{
    MainPrintImage(*this);
}

void TForm1::Copy1Click()
{
    MainCopyToClipboard(*this);
}

void TForm1::EXIFData1Click()
{
    MainExifData(*this);
}

void TForm1::ImageProperties1Click()
{
    MainImageProperties(*this);
}

void TForm1::Centered1Click()
{
    MainSetWallpaper(*this, TWallpaperCommand::Centered);
}

void TForm1::Tiled1Click()
{
    MainSetWallpaper(*this, TWallpaperCommand::Tiled);
}

void TForm1::Stretched1Click()
{
    MainSetWallpaper(*this, TWallpaperCommand::Stretched);
}

void TForm1::RemoveWallpaper1Click()
{
    MainSetWallpaper(*this, TWallpaperCommand::Remove);
}

} // namespace lumeno
