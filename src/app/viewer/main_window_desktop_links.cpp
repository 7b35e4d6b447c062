#include "app/viewer/main_window_desktop_links.h"

#include "app/common/settings_store.h"
#include "app/common/window_holder.h"
#include "app/desktop/clipboard_copy.h"
#include "app/desktop/dde_handler.h"
#include "app/desktop/external_editor.h"
#include "app/desktop/image_print_job.h"
#include "app/desktop/prefs_form.h"
#include "app/desktop/print_jobs.h"
#include "app/desktop/search_form.h"
#include "app/desktop/wallpaper_setter.h"
#include "app/files/f_select_files.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "app/thumbs/thumbnails_form.h"
#include "app/viewer/main_window.h"
#include "app/viewer/main_window_album_host.h"
#include "app/viewer/main_window_thumbs_host.h"
#include "app/viewer/picture_box.h"
#include "controls/media/preview_printer.h"
#include "controls/media/print_list.h"
#include "controls/shell/system_tree_view.h"
#include "platform/dialogs.h"
#include "platform/qt/asking_window.h"
#include "platform/qt/wait_cursor.h"
#include "platform/qt/window_placement.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTreeWidget>

namespace lumeno {

namespace {

// The path of the one selected item of the main list, or "".
std::string SelectedPath(TForm1& Form)
{
    const QList<QTreeWidgetItem*> selected = Form.SLV1->selectedItems();
    return selected.size() == 1 ? Form.ItemPath(selected.front()->text(0)) : std::string();
}

std::vector<std::string> SelectedPaths(TForm1& Form)
{
    std::vector<std::string> paths;
    for (int i = 0; i < Form.SLV1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = Form.SLV1->topLevelItem(i);
        if (item->isSelected())
            paths.push_back(Form.ItemPath(item->text(0)));
    }
    return paths;
}

void RefillMainList(TForm1& Form)
{
    Form.FillFileList(Form.SLV1, Form.ListedFolder(), Form.SB1, Form.FileMask());
    Form.SortFileList(Form.SLV1);
}

// One per window, freed with it.
TImagePrintJob& ImagePrintJob(TForm1& Form)
{
    if (auto* job = Form.findChild<TImagePrintJob*>())
        return *job;
    return *new TImagePrintJob(Form);
}

// The printer's document is open while pictures are recorded on it.
void EnablePrinterCommands(TForm1& Form, bool Enabled)
{
    for (const char* name :
         {"PageSetup1", "PrintFolderListing1", "PrintFolderListing2", "PrintImage1", "PrintImage2"})
        Form.EnableCommand(name, Enabled);
}

void PrintedImagesEnded(TForm1& Form, bool Completed)
{
    EnablePrinterCommands(Form, true);
    if (!Completed)
        return;
    // Shown once the job's hand-over has unwound.
    QTimer::singleShot(0, &Form, [&Form] {
        const TAskingWindow asking(&Form);
        Form.PP1->Preview();
    });
}

} // namespace

void LinkDesktopWindows(TForm1& Form)
{
    InstallMainWindowThumbsHost();
    InstallMainWindowAlbumHost();
    InstallDdeMacroHandler([&Form](const std::vector<std::string>& Commands) {
        Form.LumenoDdeServerExecuteMacro(Commands);
    });
    Form.OnFilesDeleted = [](const std::string& Folder) {
        if (TfrmThumbnails* thumbs = MadeWindow<TfrmThumbnails>())
            thumbs->FolderChanged(Folder);
    };
    TWindowHolder<TfPrefs>::Of().WhenMade([&Form](TfPrefs& Prefs) {
        Prefs.OnApplied = [&Form](int DeleteMode, bool Confirm) {
            Form.SetDeletionChoices(DeleteMode, Confirm);
            Form.BuildFileMask();
            RefillMainList(Form);
        };
    });
    TWindowHolder<TfSearch>::Of().WhenMade([&Form](TfSearch& Search) {
        Search.OnOpenFile = [&Form](const std::string& Path) {
            TWaitCursor wait;
            const std::size_t slash = Path.rfind('/');
            Form.STV1->SetDirectory(Path.substr(0, slash == 0 ? 1 : slash));
            RefillMainList(Form);
            Form.SelectFileInList(Path);
            Form.ShowFile(Path);
        };
    });
    TWindowHolder<TfSelectFiles>::Of().WhenMade([](TfSelectFiles& Mover) {
        Mover.SetLargeViewAction(
            [](const std::string& Path, const std::string&) { ShowGlimpset(Path, fSelectFiles(), true); });
        Mover.SetImagePropertiesAction([](const std::string& Path, const std::string&) { ShowImageProperties(Path); });
    });
    QObject::connect(&Form, &QObject::destroyed, [] {
        TWindowHolder<TfPrefs>::Of().WhenMade({});
        TWindowHolder<TfSearch>::Of().WhenMade({});
        TWindowHolder<TfSelectFiles>::Of().WhenMade({});
    });
}

void MainSetWallpaper(TForm1& Form, TWallpaperCommand Command)
{
    const std::string path = SelectedPath(Form);
    if (Command != TWallpaperCommand::Remove && path.empty())
        return;
    // One setter for the program's life; its worker ends before the
    // application does.
    static TWallpaperSetter* const setter = [] {
        auto* made = new TWallpaperSetter;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [made] { delete made; });
        return made;
    }();
    const TWallpaperValues values = WallpaperValues(Command, path);
    setter->Start(values.File, values.Tile, values.Style,
                  DesktopWallpaperBackend(qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(), RunCommand),
                  [&Form](const TWallpaperOutcome& Outcome) {
                      if (Outcome.Created)
                          RefillMainList(Form);
                  });
}

void MainCopyToClipboard(TForm1& Form)
{
    QImage picture;
    Form.TakeFullPicture();
    if (Form.Image1)
        picture = Form.Image1->Picture();
    CopyShownPicture(Form.CurrentExt(), Form.GIFImage1, &picture, Form.PGImage1);
}

void MainEditWithExternalEditor(TForm1& Form)
{
    const std::string path = SelectedPath(Form);
    if (path.empty())
        return;
    EditWithExternalEditor(path, TSettingsStore(), StartDetached, [] { MainSetPreferences(); });
}

void MainPrintFolderListing(TForm1& Form)
{
    {
        TWaitCursor wait;
        PrintFolderListing(*Form.PP1, Form.ListedFolder(), PrintListFromView(*Form.SLV1));
    }
    Form.PP1->Preview();
}

void MainPrintImage(TForm1& Form)
{
    if (ImagePrintJob(Form).Start(*Form.PP1, SelectedPaths(Form), *Form.SB1,
                                  [&Form](bool Completed) { PrintedImagesEnded(Form, Completed); }))
        EnablePrinterCommands(Form, false);
}

void MainSetPreferences()
{
    OpenOver(fPrefs(), TAskingWindow::Current());
}

void MainSearchFiles()
{
    ShowBeside(*fSearch(), Form1());
}

void MainThumbnailExplorer(TForm1& Form)
{
    TWaitCursor wait;
    PlaceBesideOnce(*frmThumbnails(), Form);
    frmThumbnails()->ShowFolder(Form.ListedFolder());
}

void MainExifData(TForm1& Form)
{
    const std::string path = SelectedPath(Form);
    if (path.empty())
        return;
    ShowBeside(*frmEXIF(), &Form);
    frmEXIF()->ShowExifData(path);
}

void MainImageProperties(TForm1& Form)
{
    const std::string path = SelectedPath(Form);
    if (!path.empty())
        ShowImageProperties(path);
}

} // namespace lumeno
