// The folder file list: filling, sorting, and the roads from the folder
// tree and the list's selection.

#include "app/common/file_list.h"
#include "app/common/file_types.h"
#include "app/common/window_holder.h"
#include "app/thumbs/exif_form.h"
#include "app/viewer/main_window.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/format_date_time.h"
#include "controls/shell/system_tree_view.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QTreeWidget>

namespace lumeno {

namespace {

constexpr int kSizeRole = Qt::UserRole;
constexpr int kTimeRole = Qt::UserRole + 1;

// The date text is made when it is first shown: formatting every date of a
// large folder would cost more than the rest of the listing.
class TFileItem : public QTreeWidgetItem {
public:
    QVariant data(int column, int role) const override
    {
        if (column == 3 && role == Qt::DisplayRole)
            return QString::fromStdString(
                FormatDateTime("c", QDateTime::fromSecsSinceEpoch(QTreeWidgetItem::data(0, kTimeRole).toLongLong())));
        return QTreeWidgetItem::data(column, role);
    }
};

QTreeWidgetItem* NewItem(const TFileRow& row)
{
    auto* item = new TFileItem;
    item->setText(0, QString::fromStdString(row.Name));
    item->setText(1, QString::number(row.SizeKB));
    item->setText(2, QString::fromStdString(row.Type));
    item->setData(0, kSizeRole, qint64(row.SizeKB));
    item->setData(0, kTimeRole, qint64(row.Time));
    for (int c = 1; c < 4; ++c)
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

TFileRow RowOf(const QTreeWidgetItem* item)
{
    return {item->text(0).toStdString(), item->data(0, kSizeRole).toLongLong(), item->text(2).toStdString(),
            item->data(0, kTimeRole).toLongLong()};
}

} // namespace

void TForm1::BuildFileMask()
{
    fileMask_ = lumeno::BuildFileMask(settings_.ReadFileTypes());
}

void TForm1::FillFileList(QTreeWidget* List, const std::string& Folder, TdfsStatusBar* StatusBar,
                          const std::string& Mask)
{
    TWaitCursor wait;
    const bool viewAll = Command("ViewAllFiles1")->isChecked();
    const std::vector<TFileRow> rows = ListFolderFiles(Folder, viewAll ? "*.*;" : Mask);
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (const TFileRow& row : rows)
        items.append(NewItem(row));
    List->setUpdatesEnabled(false);
    List->clear();
    List->addTopLevelItems(items);
    List->setUpdatesEnabled(true);
    if (StatusBar)
        StatusBar->Panels()[1].SetText(std::to_string(rows.size()) + " files");
    if (List == SLV1 && Folder != listedFolder_) {
        listedFolder_ = Folder;
        preRead_.Drop();
    }
}

void TForm1::SortFileList(QTreeWidget* List)
{
    QTreeWidgetItem* current = List->currentItem();
    const QList<QTreeWidgetItem*> selected = List->selectedItems();
    const bool blocked = List->blockSignals(true);
    QList<QTreeWidgetItem*> items = List->invisibleRootItem()->takeChildren();
    std::vector<TFileRow> rows;
    rows.reserve(std::size_t(items.size()));
    for (const QTreeWidgetItem* item : items)
        rows.push_back(RowOf(item));
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(items.size());
    for (int index : SortOrder(rows, sortColumn_, sortAscending_))
        sorted.append(items[index]);
    List->addTopLevelItems(sorted);
    if (current)
        List->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selected)
        item->setSelected(true);
    List->blockSignals(blocked);
}

void TForm1::SLV1ColumnClick(int Column)
{
    if (Column == sortColumn_) {
        sortAscending_ = !sortAscending_;
    } else {
        sortColumn_ = Column;
        sortAscending_ = true;
    }
    try {
        SortFileList(SLV1);
    } catch (const std::exception&) {
        ShowMessage("Error sorting items");
    }
}

void TForm1::STV1Change()
{
    const std::string folder = Folder();
    // The tree also reports the folders the window selects itself, once listed.
    if (folder.empty() || folder == listedFolder_ || !QFileInfo(QString::fromStdString(folder)).isDir())
        return;
    FillFileList(SLV1, folder, SB1, fileMask_);
    SortFileList(SLV1);
}

void TForm1::SLV1Change()
{
    QAction* copy = Command("Copy1");
    if (!OneSelected(SLV1)) {
        copy->setVisible(false);
        return;
    }
    const std::string path = ItemPath(SLV1->selectedItems().first()->text(0));
    if (path == lastCaption_)
        return;
    lastCaption_ = path;
    if (QFileInfo::exists(QString::fromStdString(path)))
        ShowFile(path);
    if (TfrmEXIF* exif = MadeWindow<TfrmEXIF>())
        exif->RefreshExifData(path);
    copy->setVisible(IsPictureFile(path));
}

void TForm1::ViewAllFiles1Click()
{
    const bool all = Command("ViewAllFiles1")->isChecked();
    SLV1->headerItem()->setText(0, all ? "Name (All)" : "Name (Images)");
    Update1Click();
}

void TForm1::Refresh1Click()
{
    TWaitCursor wait;
    STV1->Refill();
}

void TForm1::SLV1DblClick()
{
    InLumeno1Click();
}

} // namespace lumeno
