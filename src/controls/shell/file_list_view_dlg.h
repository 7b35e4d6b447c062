#pragma once
// A list of one folder's files and subfolders, or of the desktop, the
// drives, the network or the trash, in icon, small-icon, list, report or
// thumbnail view; bound to a folder combo and a file-name edit.

#include "controls/shell/file_list_items.h"
#include "controls/shell/file_list_texts.h"

#include <QPointer>
#include <QStandardItemModel>
#include <QWidget>

#include <map>
#include <memory>

class QAbstractItemView;
class QListView;
class QTreeView;

namespace lumeno {

class TDirectoryComboDlg;
class TFileListPopupMenu;
class TFileNameEditDlg;
class TWorkerPool;

enum class TViewIconStyle { visIcon, visSmallIcon, visList, visReport, visBrowseImage };

class TFileListViewDlg : public QWidget {
    Q_OBJECT
public:
    explicit TFileListViewDlg(QWidget* parent = nullptr);
    ~TFileListViewDlg() override;

    TDirectoryComboDlg* DirCombo() const;
    void SetDirCombo(TDirectoryComboDlg* combo);
    TFileNameEditDlg* FileEdit() const;
    void SetFileEdit(TFileNameEditDlg* edit);

    unsigned FileViewType() const { return fileViewType_; }
    void SetFileViewType(unsigned value);
    TFileViewLanguage Language() const { return language_; }
    void SetLanguage(TFileViewLanguage value);
    int LanguageBase() const { return languageBase_; }
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& value);
    TSortedBy SortedBy() const { return sortedBy_; }
    void SetSortedBy(TSortedBy value);
    TViewIconStyle ViewIconStyle() const { return viewIconStyle_; }
    void SetViewIconStyle(TViewIconStyle value);
    bool ResolveLink = false;
    bool ExecuteOpen = false;
    int ThumbnailSize() const { return thumbnailSize_; }
    void SetThumbnailSize(int value);
    bool MaskBrowseImage() const { return maskBrowseImage_; }
    void SetMaskBrowseImage(bool value);

    // A folder path or DESKTOP, DRIVES, NETWORK, RECYCLED; "\\" means
    // NETWORK. False when the text names nothing that can be listed.
    const std::string& Directory() const { return directory_; }
    bool SetDirectory(const std::string& value);
    std::int64_t TotalSize() const { return totalSize_; }
    // The items in the order shown.
    const std::vector<TFileListItem>& Items() const { return items_; }
    QStandardItemModel& Model() { return model_; }
    TFileListPopupMenu* PopupMenu() const { return menu_; }
    QAbstractItemView* CurrentView() const;

    void Refresh();
    // A folder or special location becomes the current folder; a file is
    // reported (and opened with ExecuteOpen).
    void OpenItem(int row);
    void GoUp();
    // The path of a file item (its link's target with ResolveLink).
    std::string ItemPath(int row) const;
    // Renames without replacing anything; false (and a message) on failure.
    bool RenameItem(int row, const std::string& newName);
    void DeleteSelected();
    void NewFolder();
    // Copies dropped files into the folder item at row, or the current
    // folder (row -1); a clash is asked about per file.
    void DropFiles(const QStringList& files, int row);
    void HeaderClicked(int column);
    // The picture of a file on a white square of ThumbnailSize.
    QImage Thumbnail(const TFileListItem& item) const;

signals:
    void OnViewChange(lumeno::TViewIconStyle style);
    void OnFileSelect(const QString& path);
    void OnDirectoryChange(const QString& directory);
    void OnFileDrop(const QStringList& files, int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Fill();
    void SortItems();
    void ShowItems();
    void ApplyHeaders();
    void ApplyViewStyle();
    void ShowMenu(const QPoint& at);
    void MenuTriggered(QAction* action);
    void ItemEdited(QStandardItem* item);
    bool HandleKey(int key);
    void StartDrag();
    QIcon IconOf(const TFileListItem& item) const;
    // A file's size and modification time, to tell a cached picture stale.
    struct TFileStamp {
        std::int64_t Size = -1;
        std::int64_t Modified = 0;
        bool operator==(const TFileStamp&) const = default;
    };
    struct TThumbnailRequest {
        int Row = 0;
        std::string Path;
        TFileStamp Stamp;
    };
    struct TThumbnailEntry {
        TFileStamp Stamp;
        QIcon Icon;
    };
    static TFileStamp StampOf(const std::string& path);
    // The cached picture, or the file's icon until a worker made the picture.
    QIcon ThumbnailIcon(const TFileListItem& item, int row, std::vector<TThumbnailRequest>& requests);
    void StartThumbnails(std::vector<TThumbnailRequest> requests);
    void ThumbnailArrived(int generation, const TThumbnailRequest& request, const QImage& square);
    QImage IconSquare(const TFileListItem& item) const;
    std::string ItemPathOf(const TFileListItem& item) const;
    std::vector<int> SelectedRows() const;

    QPointer<TDirectoryComboDlg> dirCombo_;
    QPointer<TFileNameEditDlg> fileEdit_;
    unsigned fileViewType_ = flvAll;
    TFileViewLanguage language_ = TFileViewLanguage::lnUserDefault;
    int languageBase_ = 900;
    std::string mask_ = "*.*";
    TSortedBy sortedBy_ = TSortedBy::sbName;
    TViewIconStyle viewIconStyle_ = TViewIconStyle::visIcon;
    int thumbnailSize_ = 32;
    bool maskBrowseImage_ = false;
    std::string directory_;
    std::int64_t totalSize_ = 0;
    std::vector<TFileListItem> items_;
    // By path, for the current folder: a refresh or a new sort order shows
    // the same pictures without decoding them again.
    std::map<std::string, TThumbnailEntry> thumbnails_;
    int thumbnailGeneration_ = 0;
    QStandardItemModel model_;
    QListView* list_;
    QTreeView* report_;
    TFileListPopupMenu* menu_;
    bool filling_ = false;
    QPoint pressAt_;
    // Last: its results reach the members above, so it stops first.
    std::unique_ptr<TWorkerPool> thumbnailPool_;
};

} // namespace lumeno
