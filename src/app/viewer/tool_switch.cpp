#include "app/viewer/tool_switch.h"

#include "app/album/f_album.h"
#include "app/album/frm_pub_wizard.h"
#include "app/converter/frm_convert.h"
#include "app/editor/frm_acquire.h"
#include "app/sheet/frm_thumb_edit.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace lumeno {

namespace {

// A tool's file, absolute against the start directory.
std::string ToolFile(const QStringList& Files)
{
    return Files.isEmpty() ? std::string() : QFileInfo(Files.first()).absoluteFilePath().toStdString();
}

// The editor alone says itself why its file could not be read.
void EditToolFile(const std::string& Path)
{
    try {
        frmAcquire()->EditFile(Path);
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
}

} // namespace

const TToolTable& ToolWindows()
{
    static const TToolTable tools = {
        {"editor",
         [](const QStringList& Files) -> QWidget* {
             if (Files.isEmpty())
                 frmAcquire()->show();
             else
                 EditToolFile(ToolFile(Files));
             return frmAcquire();
         }},
        {"convert",
         [](const QStringList& Files) -> QWidget* {
             frmConvert()->SetSourceFileName(ToolFile(Files));
             frmConvert()->show();
             return frmConvert();
         }},
        {"album",
         [](const QStringList& Files) -> QWidget* {
             ShowAlbumTool(ToolFile(Files));
             return fAlbum();
         }},
        {"webwizard",
         [](const QStringList& Files) -> QWidget* {
             ShowWebWizardTool(ToolFile(Files));
             return frmPubWizard();
         }},
        {"sheet",
         [](const QStringList& Files) -> QWidget* {
             QStringList paths;
             for (const QString& file : Files)
                 paths << QFileInfo(file).absoluteFilePath();
             frmThumbEdit()->AddFiles(paths);
             frmThumbEdit()->show();
             return frmThumbEdit();
         }},
    };
    return tools;
}

QWidget* StartToolAlone(const TToolTable::mapped_type& Tool, const QStringList& Files)
{
    QWidget* window = Tool(Files);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Qt ends the program when the last ordinary window closes, and the
    // editor is a tool window: closing a dialog of it would end the program.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(window, &QObject::destroyed, qApp, &QCoreApplication::quit);
    return window;
}

TStartRequest ParseArguments(const QStringList& Arguments, const QString& StartDir)
{
    TStartRequest request;
    if (!Arguments.isEmpty() && Arguments.first() == "--tool") {
        request.Tool = Arguments.value(1).toStdString();
        request.ToolFiles = Arguments.mid(2);
        return request;
    }
    if (Arguments.size() == 1)
        request.StartFile = QDir::cleanPath(QDir(StartDir).absoluteFilePath(Arguments.first())).toStdString();
    return request;
}

} // namespace lumeno
