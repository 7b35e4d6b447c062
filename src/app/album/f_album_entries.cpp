// The album's entry list: adding, moving, turning, captions and the
// commands that hand an entry to other windows.

#include "app/album/album_host.h"
#include "app/album/f_album.h"
#include "app/album/frm_edit.h"
#include "app/common/file_list.h"
#include "app/common/file_types.h"
#include "app/common/list_drag.h"
#include "platform/dialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>

namespace lumeno {

namespace {

constexpr int RotationRole = Qt::UserRole;


} // namespace

std::vector<TAlbumEntry> TfAlbum::Entries() const
{
    std::vector<TAlbumEntry> entries;
    for (int i = 0; i < LVAlbum->topLevelItemCount(); ++i)
        entries.push_back(EntryAt(i));
    return entries;
}

TAlbumEntry TfAlbum::EntryAt(int index) const
{
    const QTreeWidgetItem* item = LVAlbum->topLevelItem(index);
    return {item->text(0).toStdString(), item->text(1).toStdString(), item->data(0, RotationRole).toInt()};
}

void TfAlbum::SetRow(QTreeWidgetItem* item, const TAlbumEntry& entry)
{
    item->setText(0, QString::fromStdString(entry.Path));
    item->setText(1, QString::fromStdString(StorableCaption(entry.Caption)));
    item->setData(0, RotationRole, entry.Rotation);
    item->setIcon(0, AlbumRotationIcon(entry.Rotation));
}

bool TfAlbum::AddEntry(const TAlbumEntry& entry)
{
    if (!StorablePath(entry.Path)) {
        MessageDlg("Cannot add " + entry.Path +
                       ": its name holds a tab or line break, which an album cannot store",
                   TMsgDlgType::mtError, mbOK);
        return false;
    }
    SetRow(new QTreeWidgetItem(LVAlbum), entry);
    UpdateCount();
    return true;
}

void TfAlbum::SetEntries(const std::vector<TAlbumEntry>& entries)
{
    LVAlbum->clear();
    for (const TAlbumEntry& e : entries)
        SetRow(new QTreeWidgetItem(LVAlbum), e);
    UpdateCount();
}

void TfAlbum::UpdateCount()
{
    SB1Panel1->setText(QString::number(LVAlbum->topLevelItemCount()));
    UpdateCommands();
}

int TfAlbum::SelectedIndex() const
{
    const QList<QTreeWidgetItem*> items = LVAlbum->selectedItems();
    return items.isEmpty() ? -1 : LVAlbum->indexOfTopLevelItem(items.first());
}

void TfAlbum::SelectIndex(int index)
{
    LVAlbum->clearSelection();
    if (QTreeWidgetItem* item = LVAlbum->topLevelItem(index)) {
        item->setSelected(true);
        LVAlbum->setCurrentItem(item);
    }
}

void TfAlbum::AddDroppedFiles(const TListDrag& drag)
{
    for (const QString& path : drag.Paths())
        if (IsPictureFile(path.toStdString()))
            AddEntry({path.toStdString(), "", 0});
}

void TfAlbum::ImportAllFilesClick()
{
    if (!AlbumHost().HasFileList()) {
        PickImportFolder();
        return;
    }
    for (const std::string& path : AlbumHost().FileListPaths())
        if (FileTypeOf(path) != TFileType::ftAVI)
            AddEntry({path, "", 0});
}

// Without the main window's list the album imports a folder of its own
// choosing, listed as the main window would list it.
void TfAlbum::PickImportFolder()
{
    auto* dialog = new QFileDialog(this, "Import Directory");
    dialog->setObjectName("ImportFolderDialog");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& folder) {
        const std::string base = folder.toStdString();
        const std::vector<TFileRow> rows = ListFolderFiles(base, BuildFileMask(TSettingsStore().ReadFileTypes()));
        for (const int i : SortOrder(rows, 0, true))
            if (FileTypeOf(rows[i].Name) != TFileType::ftAVI)
                AddEntry({base + "/" + rows[i].Name, "", 0});
    });
    dialog->open();
}

void TfAlbum::ClearAllClick()
{
    LVAlbum->clear();
    UpdateCount();
}

void TfAlbum::DeleteSelectionClick()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    delete LVAlbum->takeTopLevelItem(index);
    UpdateCount();
}

void TfAlbum::MoveSelected(int delta)
{
    const int index = SelectedIndex();
    const int target = index + delta;
    if (index < 0 || target < 0 || target >= LVAlbum->topLevelItemCount())
        return;
    QTreeWidgetItem* item = LVAlbum->takeTopLevelItem(index);
    LVAlbum->insertTopLevelItem(target, item);
    SelectIndex(target);
}

void TfAlbum::MoveUpClick()
{
    MoveSelected(-1);
}

void TfAlbum::MoveDownClick()
{
    MoveSelected(1);
}

void TfAlbum::RotateSelected(int steps)
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    TAlbumEntry entry = EntryAt(index);
    entry.Rotation = (entry.Rotation + steps) % 4;
    SetRow(LVAlbum->topLevelItem(index), entry);
}

void TfAlbum::RotateClockwiseClick()
{
    RotateSelected(1);
}

void TfAlbum::RotateCounterClockwiseClick()
{
    RotateSelected(3);
}

void TfAlbum::EditCaptionClick()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    QTreeWidgetItem* item = LVAlbum->topLevelItem(index);
    QRect cell = LVAlbum->visualItemRect(item);
    cell.setLeft(LVAlbum->header()->sectionViewportPosition(1));
    cell.setWidth(LVAlbum->columnWidth(1));
    const QRect screen(LVAlbum->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    QPersistentModelIndex row = LVAlbum->indexFromItem(item);
    disconnect(frmEdit, &TfrmEdit::Accepted, nullptr, nullptr);
    connect(frmEdit, &TfrmEdit::Accepted, this, [this, row](const QString& text) {
        if (!row.isValid())
            return;
        TAlbumEntry entry = EntryAt(row.row());
        entry.Caption = text.toStdString();
        SetRow(LVAlbum->topLevelItem(row.row()), entry);
    });
    frmEdit->Execute(screen, item->text(1));
}

bool TfAlbum::RequireSelection()
{
    if (SelectedIndex() >= 0)
        return true;
    ShowMessage("You must click on a filename first");
    return false;
}

void TfAlbum::ViewImageClick()
{
    if (RequireSelection()) {
        const TAlbumEntry entry = EntryAt(SelectedIndex());
        AlbumHost().ViewImage(entry.Path, entry.Rotation);
    }
}

void TfAlbum::ImagePropertiesClick()
{
    if (RequireSelection())
        AlbumHost().ShowProperties(EntryAt(SelectedIndex()).Path);
}

} // namespace lumeno
