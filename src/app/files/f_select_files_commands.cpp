// The file mover's commands: folders, transfer, arrivals and the small file
// commands on its own tree and list.

#include "app/files/f_select_files.h"

#include "app/common/file_deletion.h"
#include "app/common/file_list.h"
#include "app/common/file_operations.h"
#include "app/common/file_rows.h"
#include "app/common/help.h"
#include "app/common/settings_store.h"
#include "app/files/file_commands.h"
#include "app/files/files_host.h"
#include "controls/media/dcavi_play.h"
#include "controls/shell/change_notify.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/system_tree_view.h"
#include "platform/dialogs.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include <filesystem>

namespace lumeno {

namespace {


bool FolderExists(const std::string& Folder)
{
    std::error_code ec;
    return !Folder.empty() && std::filesystem::is_directory(Folder, ec);
}

} // namespace

class TfSelectFiles::TBusy {
public:
    explicit TBusy(TfSelectFiles& Form) : form_(Form) { ++form_.FBusyCount; }
    ~TBusy() { form_.EndBusy(); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    TfSelectFiles& form_;
};

void TfSelectFiles::EndBusy()
{
    if (--FBusyCount == 0 && FPendingChange) {
        FPendingChange = false;
        ChangeNotify1Change();
    }
}

void TfSelectFiles::Tell(const std::string& Text)
{
    TBusy busy(*this);
    ShowMessage(Text);
}

QAction* TfSelectFiles::AddCommand(QMenu* Menu, const char* Name, const char* Caption,
                                   void (TfSelectFiles::*Handler)())
{
    QAction* action = Menu->addAction(Caption);
    action->setObjectName(Name);
    connect(action, &QAction::triggered, this, [this, Handler] { (this->*Handler)(); });
    return action;
}

void TfSelectFiles::BuildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    const auto add = [this](const char* Name, const char* Caption, auto Handler) {
        QAction* action = ToolBar1->addAction(Caption);
        action->setObjectName(Name);
        connect(action, &QAction::triggered, this, Handler);
        return action;
    };
    add("tbRefresh", "Refresh", [this] { RefreshClick(); });
    add("tbDelete", "Delete", [this] { DeleteFilesClick(); });
    add("tbRename", "Rename", [this] { RenameFileClick(); });
    tbMove = add("tbMove", "Move to...", [this] { TransferClick(TTransferMode::Move); });
    tbCopy = add("tbCopy", "Copy to...", [this] { TransferClick(TTransferMode::Copy); });
    add("tbPreview", "Preview", [this] { ForcePreviewClick(); });
    add("tbFileAttributes", "File Attributes...", [this] { FileAttributesClick(); });
    tbImageInfo = add("tbImageInfo", "Image Info", [this] { ImageInfoClick(); });
    tbView = add("tbView", "View", [this] { LargeViewClick(); });
    add("tbSelectAll", "Select All", [this] { SelectAllClick(); });
    add("tbSelectNone", "Select None", [this] { SelectNoneClick(); });
    tbImageInfo->setEnabled(false);
    tbView->setEnabled(false);
}

void TfSelectFiles::BuildPopups()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    AddCommand(PopupMenu1, "Refresh1", "Refresh", &TfSelectFiles::RefreshClick);
    AddCommand(PopupMenu1, "DeleteFiles1", "Delete Files", &TfSelectFiles::DeleteFilesClick);
    RenameFile1 = AddCommand(PopupMenu1, "RenameFile1", "Rename File", &TfSelectFiles::RenameFileClick);
    MoveFiles1 = PopupMenu1->addAction("Move Files");
    MoveFiles1->setObjectName("MoveFiles1");
    connect(MoveFiles1, &QAction::triggered, this, [this] { TransferClick(TTransferMode::Move); });
    CopyFiles1 = PopupMenu1->addAction("Copy Files");
    CopyFiles1->setObjectName("CopyFiles1");
    connect(CopyFiles1, &QAction::triggered, this, [this] { TransferClick(TTransferMode::Copy); });
    ForcePreview1 = AddCommand(PopupMenu1, "ForcePreview1", "Force Preview", &TfSelectFiles::ForcePreviewClick);
    FileAttributes1 =
        AddCommand(PopupMenu1, "FileAttributes1", "File Attributes...", &TfSelectFiles::FileAttributesClick);
    ImageProperties1 =
        AddCommand(PopupMenu1, "ImageProperties1", "Image Properties...", &TfSelectFiles::ImageInfoClick);
    LargeView1 = AddCommand(PopupMenu1, "LargeView1", "Large View...", &TfSelectFiles::LargeViewClick);
    AddCommand(PopupMenu1, "SelectAll1", "Select All", &TfSelectFiles::SelectAllClick);
    AddCommand(PopupMenu1, "SelectNone1", "Select None", &TfSelectFiles::SelectNoneClick);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");
    AddCommand(PopupMenu2, "AddFolder1", "Add Folder...", &TfSelectFiles::AddFolderClick);
    AddCommand(PopupMenu2, "DeleteFolder1", "Delete Folder...", &TfSelectFiles::DeleteFolderClick);
    AddCommand(PopupMenu2, "RefreshTree1", "Refresh", &TfSelectFiles::TreeRefreshClick);
    AddCommand(PopupMenu2, "SaveDefaultPath1", "Save Default Path", &TfSelectFiles::SaveDefaultPathClick);
    STV4->SetPopupMenuMethod(pmmUser);
    STV4->SetPopupMenu(PopupMenu2);
}

void TfSelectFiles::SetLargeViewAction(TFileAction Action)
{
    FLargeView = std::move(Action);
    tbView->setEnabled(static_cast<bool>(FLargeView));
}

void TfSelectFiles::SetImagePropertiesAction(TFileAction Action)
{
    FImageProperties = std::move(Action);
    tbImageInfo->setEnabled(static_cast<bool>(FImageProperties));
}

void TfSelectFiles::PopupMenu1Popup()
{
    const std::size_t selected = SelectedCaptions().size();
    for (QAction* single : {RenameFile1, ForcePreview1, FileAttributes1})
        single->setEnabled(selected == 1);
    ImageProperties1->setEnabled(selected == 1 && FImageProperties);
    LargeView1->setEnabled(selected == 1 && FLargeView);
    MoveFiles1->setEnabled(selected >= 1 && FBusyCount == 0);
    CopyFiles1->setEnabled(selected >= 1 && FBusyCount == 0);
}

// --- folders -----------------------------------------------------------------

void TfSelectFiles::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    FormShow();
    PlaceLed();
}

void TfSelectFiles::FormShow()
{
    std::string folder = TSettingsStore().ReadString("SourceDir");
    if (!FolderExists(folder))
        folder = SettingDefault("SourceDir");
    SetSourceFolder(folder);
}

void TfSelectFiles::SetSourceFolder(const std::string& Folder)
{
    FSourceFolder = Folder;
    FSettingFolder = true;
    STV4->SetSelection(Folder);
    FSettingFolder = false;
    ChangeNotify1->SetPathname(Folder);
    setWindowTitle(QString::fromStdString(Folder));
    FillSLV4();
}

void TfSelectFiles::STV4Change(const std::string& Folder)
{
    if (!FolderExists(Folder))
        return;
    AutoUpdate->setChecked(false);
    ChangeNotify1->SetEnabled(false);
    SetSourceFolder(Folder);
}

void TfSelectFiles::AutoUpdateClick()
{
    ChangeNotify1->SetEnabled(AutoUpdate->isChecked());
    if (AutoUpdate->isChecked())
        RebuildNameList();
}

void TfSelectFiles::ChangeNotify1Change()
{
    if (FBusyCount > 0) {
        FPendingChange = true;
        return;
    }
    // An arrival's preview never opens a box over another window's box.
    if (TQtDialogs::BoxOpen()) {
        FHeldChange.start();
        return;
    }
    const std::vector<std::string> selected = SelectedCaptions();
    FillSLV4();
    const std::vector<std::string> names = Captions();
    const int arrival = FirstNewArrival(names, FNameList);
    if (arrival < 0) {
        const QSignalBlocker quiet(SLV4);
        SelectCaptions(selected);
        return;
    }
    QTreeWidgetItem* item = SLV4->topLevelItem(arrival);
    {
        const QSignalBlocker quiet(SLV4);
        SLV4->clearSelection();
        item->setSelected(true);
        SLV4->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
    SLV4->scrollToItem(item);
    // The names just listed: a file arriving meanwhile still counts as new next time.
    FNameList = std::set<std::string>(names.begin(), names.end());
    SLV4->viewport()->update();
    FLastPreviewed = JoinPath(FSourceFolder, item->text(0).toStdString());
    Preview(item->text(0).toStdString());
}

void TfSelectFiles::SLV4ColumnClick(int Column)
{
    FAscending = Column == FSortColumn ? !FAscending : true;
    FSortColumn = Column;
    const std::vector<std::string> selected = SelectedCaptions();
    FillSLV4();
    const QSignalBlocker quiet(SLV4);
    SelectCaptions(selected);
}

// --- transfer ------------------------------------------------------------------

std::vector<std::string> TfSelectFiles::SelectionAndSuccessor(std::string& Successor) const
{
    std::vector<bool> flags;
    std::vector<std::string> captions;
    for (int i = 0; i < SLV4->topLevelItemCount(); ++i) {
        flags.push_back(SLV4->topLevelItem(i)->isSelected());
        if (flags.back())
            captions.push_back(SLV4->topLevelItem(i)->text(0).toStdString());
    }
    const int successor = DeleteSuccessor(flags);
    Successor = successor < 0 ? std::string() : SLV4->topLevelItem(successor)->text(0).toStdString();
    return captions;
}

void TfSelectFiles::SetTransferEnabled(bool Enabled)
{
    for (QAction* action : {tbMove, tbCopy, MoveFiles1, CopyFiles1})
        action->setEnabled(Enabled);
}

void TfSelectFiles::TransferClick(TTransferMode Mode)
{
    TFilesHost* host = FilesHost();
    if (!host || FBusyCount > 0)
        return;
    const std::string destination = host->TreeFolder();
    std::string successor;
    const std::vector<std::string> captions = SelectionAndSuccessor(successor);
    if (destination.empty() || captions.empty())
        return;
    std::string last;
    {
        TBusy busy(*this);
        SetTransferEnabled(false);
        const std::string count = std::to_string(captions.size());
        for (std::size_t i = 0; i < captions.size(); ++i) {
            const std::string& caption = captions[i];
            StatusBar1->Panels()[3].SetText("File " + std::to_string(i + 1) + " of " + count);
            std::optional<std::string> problem;
            {
                TWaitCursor wait;
                problem = TransferFile(JoinPath(FSourceFolder, caption), JoinPath(destination, caption), Mode,
                                       caption);
            }
            if (problem)
                Tell(*problem);
            else
                last = caption;
            // Files that arrive meanwhile must still count as new afterwards.
            if (!problem && Mode == TTransferMode::Move)
                FNameList.erase(caption);
            const QSignalBlocker quiet(SLV4);
            for (QTreeWidgetItem* item : SLV4->findItems(QString::fromStdString(caption), Qt::MatchExactly))
                item->setSelected(false);
            SLV4->viewport()->repaint();
        }
        StatusBar1->Panels()[3].SetText("");
        FillSLV4();
        host->RefillList();
        if (!last.empty())
            host->SelectAndShow(last);
        if (Mode == TTransferMode::Move && AutoPreview->isChecked() && !successor.empty())
            SelectCaptions({successor});
        SetTransferEnabled(true);
    }
}

// --- preview -------------------------------------------------------------------

void TfSelectFiles::ForcePreviewClick()
{
    std::string caption;
    if (SingleSelected(caption) == 1)
        Preview(caption);
}

void TfSelectFiles::SLV4Change()
{
    std::string caption;
    if (!AutoPreview->isChecked() || SingleSelected(caption) != 1)
        return;
    const std::string path = JoinPath(FSourceFolder, caption);
    if (path == FLastPreviewed)
        return;
    FLastPreviewed = path;
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        Preview(caption);
}

void TfSelectFiles::LargeViewClick()
{
    std::string caption;
    if (FLargeView && SingleSelected(caption) == 1) {
        TBusy busy(*this);
        FLargeView(JoinPath(FSourceFolder, caption), caption);
    }
}

void TfSelectFiles::ImageInfoClick()
{
    std::string caption;
    if (FImageProperties && SingleSelected(caption) == 1) {
        TBusy busy(*this);
        FImageProperties(JoinPath(FSourceFolder, caption), caption);
    }
}

// --- the small file commands -----------------------------------------------------

void TfSelectFiles::FileAttributesClick()
{
    std::string caption;
    if (SingleSelected(caption) != 1)
        return;
    TBusy busy(*this);
    FileAttributesCommand(FSourceFolder, caption);
}

void TfSelectFiles::RenameFileClick()
{
    std::string caption;
    const int selected = SingleSelected(caption);
    if (selected != 1) {
        Tell(selected == 0 ? "You must click on a file" : "You must select a single file for this function");
        return;
    }
    TBusy busy(*this);
    if (const auto renamed = RenameFileCommand(FSourceFolder, caption)) {
        for (QTreeWidgetItem* item : SLV4->selectedItems())
            item->setText(0, QString::fromStdString(*renamed));
        RebuildNameList();
    }
}

void TfSelectFiles::DeleteFilesClick()
{
    std::string successor;
    const std::vector<std::string> captions = SelectionAndSuccessor(successor);
    if (captions.empty())
        return;
    TBusy busy(*this);
    const TSettingsStore settings;
    if (settings.ReadConfirmDeletions()) {
        const std::string question =
            captions.size() == 1 ? "Delete file " + captions.front() + "?" : "Delete selected files?";
        if (MessageDlg(question, TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
            return;
    }
    const int mode = settings.ReadDeleteMode();
    for (const std::string& caption : captions) {
        const std::string path = JoinPath(FSourceFolder, caption);
        StatusBar1->Panels()[3].SetText("Deleting " + path);
        if (DeleteFileAsSet(path, mode))
            FNameList.erase(caption);
    }
    StatusBar1->Panels()[3].SetText("");
    FillSLV4();
    if (!successor.empty())
        SelectCaptions({successor});
    if (TFilesHost* host = FilesHost())
        host->FolderChanged(FSourceFolder);
}

void TfSelectFiles::AddFolderClick()
{
    TBusy busy(*this);
    if (const auto made = AddFolderCommand(FSourceFolder)) {
        STV4->Refill();
        STV4Change(*made);
    }
}

void TfSelectFiles::DeleteFolderClick()
{
    TBusy busy(*this);
    const std::string folder = FSourceFolder;
    std::string parent;
    DeleteFolderCommand(folder, [&](const std::string& Parent) {
        parent = Parent;
        STV4Change(Parent);
    });
    STV4->Refill();
    if (!parent.empty())
        SetSourceFolder(FolderExists(folder) ? folder : parent);
}

void TfSelectFiles::TreeRefreshClick()
{
    STV4->Refill();
    FSettingFolder = true;
    STV4->SetSelection(FSourceFolder);
    FSettingFolder = false;
}

void TfSelectFiles::RefreshClick()
{
    std::string caption;
    const bool one = SingleSelected(caption) == 1;
    FillSLV4();
    if (one) {
        const QSignalBlocker quiet(SLV4);
        SelectCaptions({caption});
    }
}

void TfSelectFiles::SelectAllClick()
{
    SLV4->selectAll();
    SLV4->viewport()->update();
}

void TfSelectFiles::SelectNoneClick()
{
    SLV4->clearSelection();
    SLV4->viewport()->update();
}

void TfSelectFiles::SaveDefaultPathClick()
{
    TSettingsStore().WriteSetting("SourceDir", FSourceFolder);
    Tell("Saved default as " + FSourceFolder);
}

void TfSelectFiles::btnHelpClick() { ShowHelp(hcFileMover); }

void TfSelectFiles::closeEvent(QCloseEvent* Event)
{
    AVIPlay1->SetActive(false);
    AVIPlay1->hide();
    ChangeNotify1->SetEnabled(false);
    AutoUpdate->setChecked(false);
    Image1->clear();
    Image1->hide();
    QWidget::closeEvent(Event);
}

} // namespace lumeno
