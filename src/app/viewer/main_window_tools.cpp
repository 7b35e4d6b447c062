// The tool windows the main window opens: the image editor, the converter,
// the file mover and the small file dialogs.

#include "app/editor/editor_host.h"
#include "app/editor/frm_acquire.h"
#include "app/files/main_window_links.h"
#include "app/viewer/main_window.h"
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

    std::string TreeFolder() const override { return form_.Folder(); }
    // The thumbnail explorer is not part of the program yet.
    std::string ThumbFolder() const override { return QDir::homePath().toStdString(); }
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
        CreatefrmAcquire();
        frmAcquire()->EditFile(path);
    } catch (const std::exception&) {
        ShowMessage("Can not edit " + path);
    }
}

void TForm1::Retouvo1Click()
{
    CreatefrmAcquire();
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

} // namespace lumeno
