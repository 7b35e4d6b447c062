#include "app/viewer/main_window_thumbs_host.h"

#include "app/viewer/main_window.h"

#include <QAction>

namespace lumeno {

std::string TMainWindowThumbsHost::FileMask() const
{
    QAction* viewAll = Form1()->Command("ViewAllFiles1");
    return viewAll && viewAll->isChecked() ? "*.*;" : Form1()->FileMask();
}

std::string TMainWindowThumbsHost::MainFolder() const { return Form1()->ListedFolder(); }

void TMainWindowThumbsHost::RefillMainList()
{
    TForm1* form = Form1();
    form->FillFileList(form->SLV1, form->ListedFolder(), form->SB1, form->FileMask());
    form->SortFileList(form->SLV1);
}

void TMainWindowThumbsHost::ShowSheetCreator()
{
    if (QAction* creator = Form1()->Command("GlimpsetCreator1"))
        creator->trigger();
}

void InstallMainWindowThumbsHost()
{
    static TMainWindowThumbsHost host;
    SetThumbsHost(&host);
}

} // namespace lumeno
