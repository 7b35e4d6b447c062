// Lumeno: start-up in the program's fixed order, then the event loop.

#include "app/desktop/single_instance.h"
#include "app/viewer/first_picture.h"
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
#include <memory>

using namespace lumeno;

namespace {

void StartImageLibrary()
{
    PGStartupAllFormats();
    PGCreateCursors();
}

// The main window, joined to the others, which are made on their first use.
void CreateWindows()
{
    CreateForm1();
    LinkMainWindow(*Form1());
    LinkDesktopWindows(*Form1());
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

    // The start file's picture is decoded while the windows are made.
    std::unique_ptr<TFirstPicture> first;
    if (tool == tools.end() && !request.StartFile.empty())
        first = std::make_unique<TFirstPicture>(request.StartFile, TForm1::StoredPanelBound());

    auto* splash = new TfrmSplashForm;
    splash->show();
    splash->repaint();

    QApplication::setApplicationName("Lumeno");
    CreateWindows();
    // By now the splash has been mapped: paint it before the main window's
    // work begins.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    if (tool != tools.end()) {
        StartToolAlone(tool->second, request.ToolFiles);
    } else {
        Form1()->SetStartFile(request.StartFile);
        Form1()->SetFirstPicture(std::move(first));
        Form1()->show();
    }
    const int result = app.exec();
    // The other windows went as the application quit.
    FreeForm1();
    PGShutdown();
    SetDialogs(nullptr);
    return result;
}
