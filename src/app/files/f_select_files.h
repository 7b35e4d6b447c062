#pragma once
// "File Manager": a source folder of its own with a preview pane; moves or
// copies the selected files into the folder the main window shows, and can
// watch the source folder and preview each new arrival.

#include "app/files/file_transfer.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;

namespace lumeno {

class TALed;
class TChangeNotify;
class TDCAVIPlay;
class TGIFImage;
class TPGImage;
class TdfsStatusBar;
class TdfsSystemTreeView;

class TfSelectFiles : public QWidget {
    Q_OBJECT
public:
    // Path and caption of the one selected file.
    using TFileAction = std::function<void(const std::string& Path, const std::string& Caption)>;

    explicit TfSelectFiles(QWidget* Parent = nullptr);
    ~TfSelectFiles() override;

    // The full-image window and the image-properties dialog; their commands
    // stay disabled until these are set.
    void SetLargeViewAction(TFileAction Action);
    void SetImagePropertiesAction(TFileAction Action);

    const std::string& SourceFolder() const { return FSourceFolder; }
    std::vector<std::string> Captions() const;
    std::vector<std::string> SelectedCaptions() const;
    void SelectCaptions(const std::vector<std::string>& Captions);
    const std::set<std::string>& NameList() const { return FNameList; }

    // Commands and events.
    void FormShow();
    void STV4Change(const std::string& Folder);
    void AutoUpdateClick();
    void ChangeNotify1Change();
    void TransferClick(TTransferMode Mode);
    void ForcePreviewClick();
    void SLV4Change();
    void LargeViewClick();
    void ImageInfoClick();
    void FileAttributesClick();
    void RenameFileClick();
    void DeleteFilesClick();
    void AddFolderClick();
    void DeleteFolderClick();
    void TreeRefreshClick();
    void RefreshClick();
    void SelectAllClick();
    void SelectNoneClick();
    void SaveDefaultPathClick();
    void btnHelpClick();
    void PopupMenu1Popup();
    void SLV4ColumnClick(int Column);

    TdfsSystemTreeView* STV4 = nullptr;
    QTreeWidget* SLV4 = nullptr;
    QFrame* pnlPreview = nullptr;
    QLabel* Image1 = nullptr;
    TGIFImage* GIFImage1 = nullptr;
    TDCAVIPlay* AVIPlay1 = nullptr;
    TPGImage* PGImage1 = nullptr;
    QLabel* pnlName = nullptr;
    QCheckBox* AutoPreview = nullptr;
    QCheckBox* AutoUpdate = nullptr;
    QPushButton* btnHelp = nullptr;
    TdfsStatusBar* StatusBar1 = nullptr;
    TALed* ALed1 = nullptr;
    std::unique_ptr<TChangeNotify> ChangeNotify1;
    QToolBar* ToolBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* tbMove = nullptr;
    QAction* tbCopy = nullptr;
    QAction* MoveFiles1 = nullptr;
    QAction* CopyFiles1 = nullptr;
    QAction* RenameFile1 = nullptr;
    QAction* ForcePreview1 = nullptr;
    QAction* FileAttributes1 = nullptr;
    QAction* ImageProperties1 = nullptr;
    QAction* LargeView1 = nullptr;
    QAction* tbImageInfo = nullptr;
    QAction* tbView = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    // While busy (a transfer, one of our message boxes) folder changes wait
    // and are handled once afterwards.
    class TBusy;

    void BuildToolBar();
    void BuildPopups();
    void BuildPreview();
    void BuildStatusBar();
    QAction* AddCommand(QMenu* Menu, const char* Name, const char* Caption, void (TfSelectFiles::*Handler)());
    void SetSourceFolder(const std::string& Folder);
    void FillSLV4();
    void RebuildNameList();
    std::string MainMask() const;
    void Tell(const std::string& Text);
    int SingleSelected(std::string& Caption) const;
    // The selected captions in list order, and the caption to select once
    // they are gone (empty for none).
    std::vector<std::string> SelectionAndSuccessor(std::string& Successor) const;
    void Preview(const std::string& Caption);
    void ShowPreview(const std::string& Path);
    void HideViewers();
    void PlaceLed();
    void SetTransferEnabled(bool Enabled);
    void EndBusy();

    std::string FSourceFolder;
    std::set<std::string> FNameList;
    std::string FLastPreviewed;
    std::string FExtension;
    int FSortColumn = 0;
    bool FAscending = true;
    int FBusyCount = 0;
    bool FPendingChange = false;
    // A change that came while another window's box was open: looked at again.
    QTimer FHeldChange;
    bool FSettingFolder = false;
    TFileAction FLargeView;
    TFileAction FImageProperties;
};

TfSelectFiles* fSelectFiles();

} // namespace lumeno
