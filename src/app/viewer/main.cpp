// Lumeno: start-up in the program's fixed order, then the event loop.

#include "app/viewer/about_form.h"
#include "app/viewer/bm_edit.h"
#include "app/viewer/main_window.h"
#include "app/viewer/splash_form.h"
#include "app/viewer/tool_switch.h"
#include "imagelib/codecs/gif_reader.h"
#include "imagelib/codecs/ico_reader.h"
#include "imagelib/codecs/metafile_reader_qt.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/pg_cursors.h"
#include "platform/qt/application.h"
#include "platform/qt/qt_dialogs.h"

#include <QDir>

#include <cstdio>

using namespace lumeno;

namespace {

// One row per tool window: "--tool NAME [FILES]" shows only that window.
const TToolTable& Tools()
{
    static const TToolTable tools = {
        // {"editor", [](const QStringList& files) { ... frmAcquire()->show(); }},
    };
    return tools;
}

void StartImageLibrary()
{
    PGStartup();
    PGGifStartup();
    PGIcoStartup();
    PGMetaStartup();
    PGCreateCursors();
}

// Every window once, in the program's order; the main window first.
void CreateWindows()
{
    CreateForm1();
    // TfSelectFiles
    CreatefAbout();
    // TfPrefs, TfRename, TFileAttrForm, TfDirAdd, TfSearch, TfAPrefs
    CreatefBMEdit();
    // TfAlbum, TfrmEdit, TfrmAcquire, TfrmFileSaveOptions, TfRotate, TfrmBorder,
    // TfrmColorRez, TfrmFileProp, TfrmResize, TfrmNewEFX, TfrmConvert,
    // TfrmGIFTrans, TfrmThumbnails, TfrmSaveThumbnail, TfrmGlimpsetOptions,
    // TfrmThumbEdit, TfrmSelectFolder, TfrmPubWizard, TfrmRedEyeReduction,
    // TfrmBarrel, TfrmIncRename, TfrmEXIF, TfrmGaussianBlur
}

void FreeWindows()
{
    delete fBMEdit();
    delete fAbout();
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
    const auto tool = Tools().find(request.Tool);
    if (!request.Tool.empty() && tool == Tools().end()) {
        std::fprintf(stderr, "lumeno: unknown tool \"%s\"\n", request.Tool.c_str());
        return 2;
    }

    auto* splash = new TfrmSplashForm;
    splash->show();
    splash->repaint();

    QApplication::setApplicationName("Lumeno");
    CreateWindows();

    if (tool != Tools().end()) {
        tool->second(request.ToolFiles);
    } else {
        Form1()->SetStartFile(request.StartFile);
        Form1()->show();
    }
    const int result = app.exec();
    FreeWindows();
    PGShutdown();
    SetDialogs(nullptr);
    return result;
}
