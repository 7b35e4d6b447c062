// Lumeno: start-up in the program's fixed order, then the event loop.

#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "app/album/frm_pub_wizard.h"
#include "app/converter/frm_convert.h"
#include "app/converter/frm_gif_trans.h"
#include "app/desktop/prefs_form.h"
#include "app/desktop/search_form.h"
#include "app/desktop/single_instance.h"
#include "app/editor/frm_acquire.h"
#include "app/files/f_dir_add.h"
#include "app/files/f_rename.h"
#include "app/files/f_select_files.h"
#include "app/files/file_attr_form.h"
#include "app/files/frm_inc_rename.h"
#include "app/sheet/frm_glimpset_options.h"
#include "app/sheet/frm_thumb_edit.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/save_thumbnail_form.h"
#include "app/thumbs/select_folder_form.h"
#include "app/thumbs/thumbnails_form.h"
#include "app/viewer/about_form.h"
#include "app/viewer/bm_edit.h"
#include "app/viewer/main_window.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_links.h"
#include "app/viewer/splash_form.h"
#include "app/viewer/tool_switch.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pg_startup_qt.h"
#include "imagelib/view/pg_cursors.h"
#include "platform/qt/application.h"
#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace lumeno;

namespace {

void StartImageLibrary()
{
    PGStartupAllFormats();
    PGCreateCursors();
}

// Every window once, in the program's order; the main window first.
void CreateWindows()
{
    CreateForm1();
    CreatefSelectFiles();
    CreatefAbout();
    CreatefPrefs();
    CreatefRename();
    CreateFileAttrForm();
    CreatefDirAdd();
    CreatefSearch();
    CreatefAPrefs();
    CreatefBMEdit();
    CreatefAlbum();
    // The album makes its TfrmEdit. The editor makes its own dialogs:
    // TfrmFileSaveOptions, TfRotate, TfrmBorder, TfrmColorRez, TfrmResize,
    // TfrmNewEFX, TfrmRedEyeReduction, TfrmBarrel and TfrmGaussianBlur.
    CreatefrmAcquire();
    CreatefrmFileProp();
    CreatefrmConvert();
    CreatefrmGIFTrans();
    CreatefrmThumbnails();
    CreatefrmSaveThumbnail();
    CreatefrmGlimpsetOptions();
    CreatefrmThumbEdit();
    CreatefrmSelectFolder();
    CreatefrmPubWizard();
    CreatefrmIncRename();
    CreatefrmEXIF();
    LinkMainWindow(*Form1());
    LinkDesktopWindows(*Form1());
}

// Closing the main window ends the program even while tool windows are open.
void LetTheMainWindowEndTheProgram()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != Form1())
            window->setAttribute(Qt::WA_QuitOnClose, false);
}

// In reverse order, while the application still exists: the editor writes
// its geometry as it goes.
void FreeWindows()
{
    delete frmEXIF();
    delete frmIncRename();
    delete frmPubWizard();
    delete frmSelectFolder();
    delete frmThumbEdit();
    delete frmGlimpsetOptions();
    delete frmSaveThumbnail();
    delete frmThumbnails();
    delete frmGIFTrans();
    delete frmConvert();
    delete frmFileProp();
    delete frmAcquire();
    delete fAlbum();
    delete fBMEdit();
    delete fAPrefs();
    delete fSearch();
    delete fDirAdd();
    delete FileAttrForm();
    delete fRename();
    delete fPrefs();
    delete fAbout();
    delete fSelectFiles();
    FreeForm1();
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TQtDialogs dialogs;
    SetDialogs(&dialogs);
    StartImageLibrary();
    const TStartRequest request = ParseArguments(app.arguments().mid(1), QDir::currentPath());
    const TToolTable& tools = ToolWindows();
    const auto tool = tools.find(request.Tool);
    if (!request.Tool.empty() && tool == tools.end()) {
        std::fprintf(stderr, "lumeno: unknown tool \"%s\"\n", request.Tool.c_str());
        return 2;
    }
    // A start with one file while Lumeno runs hands the file over; otherwise
    // this start listens before any window exists.
    if (request.Tool.empty() && StartSingleInstance(app.arguments().mid(1))) {
        PGShutdown();
        SetDialogs(nullptr);
        return 0;
    }

    auto* splash = new TfrmSplashForm;
    splash->show();
    splash->repaint();

    QApplication::setApplicationName("Lumeno");
    CreateWindows();

    if (tool != tools.end()) {
        StartToolAlone(tool->second, request.ToolFiles);
    } else {
        LetTheMainWindowEndTheProgram();
        Form1()->SetStartFile(request.StartFile);
        Form1()->show();
    }
    const int result = app.exec();
    FreeWindows();
    PGShutdown();
    SetDialogs(nullptr);
    return result;
}
