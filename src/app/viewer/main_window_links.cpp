#include "app/viewer/main_window_links.h"

#include "app/common/window_holder.h"
#include "app/converter/converter_host.h"
#include "app/converter/frm_convert.h"
#include "app/files/dropped_files.h"
#include "app/files/f_select_files.h"
#include "app/files/file_commands.h"
#include "app/files/files_host.h"
#include "app/files/frm_inc_rename.h"
#include "app/thumbs/file_prop_form.h"
#include "app/viewer/main_window.h"
#include "controls/shell/system_tree_view.h"
#include "platform/dialogs.h"
#include "platform/qt/window_placement.h"

#include <QTreeWidget>

#include <filesystem>
#include <memory>

namespace lumeno {

namespace {

class TMainWindowHost : public TFilesHost, public TConverterHost {
public:
    explicit TMainWindowHost(TForm1& Form) : form_(Form) {}

    std::string TreeFolder() override { return form_.ListedFolder(); }
    std::vector<std::string> ListCaptions() override { return Captions(false); }
    std::vector<std::string> SelectedCaptions() override { return Captions(true); }
    void RefillList() override
    {
        form_.FillFileList(form_.SLV1, form_.ListedFolder(), form_.SB1, form_.FileMask());
        form_.SortFileList(form_.SLV1);
    }
    void Update1Click() override { form_.Update1Click(); }
    bool SelectAndShow(const std::string& Caption) override
    {
        const std::string path = form_.ItemPath(QString::fromStdString(Caption));
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            return false;
        form_.SelectFileInList(path);
        form_.ShowFile(path);
        return true;
    }
    std::string MainMask() override { return form_.FileMask(); }
    void FolderChanged(const std::string& Folder) override
    {
        if (form_.OnFilesDeleted)
            form_.OnFilesDeleted(Folder);
    }
    bool ShowImageProperties(const std::string& FileName) override
    {
        lumeno::ShowImageProperties(FileName);
        return true;
    }

private:
    std::vector<std::string> Captions(bool SelectedOnly) const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < form_.SLV1->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = form_.SLV1->topLevelItem(i);
            if (!SelectedOnly || item->isSelected())
                captions.push_back(item->text(0).toStdString());
        }
        return captions;
    }

    TForm1& form_;
};

std::unique_ptr<TMainWindowHost> host;

// The one selected item of the main list, or nullptr.
QTreeWidgetItem* OneSelected(TForm1& Form)
{
    const QList<QTreeWidgetItem*> selected = Form.SLV1->selectedItems();
    return selected.size() == 1 ? selected.front() : nullptr;
}

void Unlink()
{
    SetFilesHost(nullptr);
    TWindowHolder<TfrmConvert>::Of().WhenMade({});
    if (TfrmConvert* converter = MadeWindow<TfrmConvert>())
        converter->SetHost(nullptr);
    host.reset();
}

} // namespace

void LinkMainWindow(TForm1& Form)
{
    host = std::make_unique<TMainWindowHost>(Form);
    SetFilesHost(host.get());
    TWindowHolder<TfrmConvert>::Of().WhenMade([](TfrmConvert& Converter) { Converter.SetHost(host.get()); });
    Form.MoveDroppedFiles = [](const QStringList& Paths) {
        std::vector<std::string> paths;
        for (const QString& path : Paths)
            paths.push_back(path.toStdString());
        if (TFilesHost* files = FilesHost())
            MoveDroppedFiles(paths, *files);
    };
    QObject::connect(&Form, &QObject::destroyed, [] { Unlink(); });
}

} // namespace lumeno

namespace lumeno {

void MainRenameFile(TForm1& Form)
{
    QTreeWidgetItem* item = OneSelected(Form);
    if (!item)
        return;
    if (const auto renamed = RenameFileCommand(Form.ListedFolder(), item->text(0).toStdString()))
        item->setText(0, QString::fromStdString(*renamed));
}

void MainFileAttributes(TForm1& Form)
{
    if (QTreeWidgetItem* item = OneSelected(Form))
        FileAttributesCommand(Form.ListedFolder(), item->text(0).toStdString());
}

void MainAddFolder(TForm1& Form)
{
    if (Form.ListedFolder().empty())
        return;
    if (const auto made = AddFolderCommand(Form.ListedFolder())) {
        Form.STV1->Refill();
        Form.STV1->SetSelection(*made);
    }
}

void MainDeleteFolder(TForm1& Form)
{
    const std::string folder = Form.ListedFolder();
    if (folder.empty())
        return;
    const bool removed =
        DeleteFolderCommand(folder, [&Form](const std::string& Parent) { Form.STV1->SetSelection(Parent); });
    Form.STV1->Refill();
    Form.STV1->SetSelection(removed ? FolderOf(folder) : folder);
}

void MainIncrementalRename()
{
    frmIncRename()->OpenFromMainWindow(Form1());
}

void MainMoveFiles()
{
    ShowBeside(*fSelectFiles(), Form1());
}

void MainConvert(TForm1& Form)
{
    QTreeWidgetItem* item = OneSelected(Form);
    if (!item) {
        ShowMessage("Click on an image filename first");
        return;
    }
    const std::string path = Form.ItemPath(item->text(0));
    frmConvert()->SetSourceFileName(path);
    if (frmConvert()->isVisible())
        frmConvert()->LoadSourceFile(path);
    else
        frmConvert()->show();
}

} // namespace lumeno
