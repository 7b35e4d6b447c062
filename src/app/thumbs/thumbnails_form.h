#pragma once
// "Thumbnail Explorer": the image files of a folder as a list or as square
// thumbnails made on worker threads, and the batch that saves thumbnails of
// the selected files.

#include "app/thumbs/thumbnail_batch.h"
#include "app/thumbs/thumbnail_loader.h"
#include "app/thumbs/thumb_list_view.h"

#include <QWidget>

#include <string>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QProgressBar;
class QToolBar;

namespace lumeno {

class TdfsStatusBar;
class TdfsSystemTreeView;

// The program-wide thumbnail size (64 at start).
int ThumbnailSize();
void SetThumbnailSize(int Size);

// The list's colour, RGB 254,255,230.
inline constexpr TColor kThumbListColor = 0xE6FFFE;

class TfrmThumbnails : public QWidget {
    Q_OBJECT
public:
    explicit TfrmThumbnails(QWidget* Parent = nullptr);
    ~TfrmThumbnails() override;

    void LoadThumbnails();
    // The batch save of the selected items of SLV2, which lists Folder.
    void ProcessSelectedThumbnails(const std::string& Folder);
    // Opened from the main window: report view, the tree on Folder, shown.
    void ShowFolder(const std::string& Folder);
    // After files of Folder changed elsewhere: refill, sort and reload when
    // this window is visible and shows that folder.
    void FolderChanged(const std::string& Folder);
    // A load or a batch is running.
    bool Busy() const;
    std::string Folder() const;

    void tbListClick();
    void tbReportClick();
    void tbIconClick();
    void tbPixToDiskClick();
    void RefreshClick();
    void SizeClick(int Size);
    void ViewImageClick();
    void ImagePropertiesClick();
    void EXIFDataClick();
    void EscapePressed();

    TdfsSystemTreeView* STV2;
    TThumbListView* SLV2;
    TdfsStatusBar* SB1;
    QProgressBar* ProgressBar1;
    QToolBar* ToolBar1;
    QMenuBar* MainMenu1;
    QMenu* PopupMenu1;
    QMenu* pmSize;
    QAction* tbList;
    QAction* tbReport;
    QAction* tbIcon;
    QAction* tbPixToDisk;
    QAction* tbGlimpset;
    QAction* FastLoad1;
    QAction* LiveUpdate1;
    QAction* Refresh1;
    QAction* ViewImage1;
    QAction* ImageProperties1;
    QAction* EXIFData1;
    QAction* SaveAsThumbnail1;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void BuildActions();
    void BuildLayout();
    void STV2Change();
    void FillList();
    void SortList();
    void SLV2ColumnClick(int Column);
    void SLV2Click();
    void PopupMenu1Popup(const QPoint& GlobalPos);
    void StopLoad();
    void LoadFinished();
    void RunBatch(const std::string& Folder);
    void BatchFinished(bool Completed, const std::string& OutFolder);
    void EndBatchDisplay();
    void SetPanel(int Index, const std::string& Text);
    std::string SelectedPath() const;

    TThumbnailLoader loader_;
    TThumbnailBatch batch_;
    std::string lastLoaded_;
    int sortColumn_ = 0;
    bool sortAscending_ = true;
    bool loading_ = false;
};

TfrmThumbnails* frmThumbnails();

} // namespace lumeno
