#pragma once
// The program's main window: folder tree, file list, the four viewers and
// the status bar, with every command of the program. Other windows reach
// its shared routines through Form1().

#include "app/common/settings_store.h"
#include "app/viewer/load_file.h"
#include "app/viewer/pre_read.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QAction;
class QColor;
class QLineEdit;
class QMenu;
class QSpinBox;
class QSplitter;
class QToolBar;
class QToolButton;
class QTimer;
class QTreeWidget;
class QWidget;

namespace lumeno {

class TALed;
class TCloseAfterWork;
class TDCAVIPlay;
class TdfsStatusBar;
class TdfsSystemTreeView;
class TEditorHost;
class TFirstPicture;
class TGIFImage;
class TPGImage;
class TPictureBox;
class TPreviewPrinter;
struct TCommand;

inline constexpr const char* kVersionTitle = "Lumeno 7.8";

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    // Shared routines of the program's windows.
    static std::string IncludeBackslash(const std::string& Path);
    void FillFileList(QTreeWidget* List, const std::string& Folder, TdfsStatusBar* StatusBar,
                      const std::string& Mask);
    void ShowFile(const std::string& Path);
    std::string ReadSetting(const std::string& Key, const std::string& Name, const std::string& Default) const;
    void WriteSetting(const std::string& Key, const std::string& Name, const std::string& Value) const;
    static bool OneSelected(QTreeWidget* List);
    void SelectFileInList(const std::string& Path);
    void Update1Click();
    void SortFileList(QTreeWidget* List);
    void FitImageToPanel();
    void ShrinkAviPlayer(TDCAVIPlay* Player);
    void BuildFileMask();
    void LoadBookmarks();

    // State other windows and tests read.
    const std::string& CurrentFile() const { return currentFile_; }
    const std::string& CurrentExt() const { return currentExt_; }
    const std::string& FileMask() const { return fileMask_; }
    std::string Folder() const;
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }
    int LeftWidth() const { return leftWidth_; }
    int LeftHeight() const { return leftHeight_; }
    int DeleteMode() const { return deleteMode_; }
    bool ConfirmDeletions() const { return confirmDeletions_; }
    // Preferences apply their deletion choices at once.
    void SetDeletionChoices(int Mode, bool Confirm)
    {
        deleteMode_ = Mode;
        confirmDeletions_ = Confirm;
    }
    bool WasShown() const { return shown_; }
    const std::vector<std::string>& Bookmarks() const { return bookmarks_; }
    const TLoadFile& Loader() const { return loader_; }
    const TPreRead& PreRead() const { return preRead_; }
    // While a JPEG is shown from a decode at the panel's size, its full
    // picture is being read; this puts it into the view control, waiting for
    // it if need be (whatever uses the picture itself calls this first).
    void TakeFullPicture();
    bool FullPicturePending() const { return !fullPath_.empty(); }
    // The folder whose files the list shows.
    const std::string& ListedFolder() const { return listedFolder_; }
    // The path of a list item: the listed folder with a slash, then the caption.
    std::string ItemPath(const QString& Caption) const;
    QAction* Command(const char* Name) const;
    // Enables a command whose window is part of the program; the others stay off.
    void EnableCommand(const char* Name, bool Enabled);
    // The start-up file: the one command-line argument, absolute; "" for none.
    void SetStartFile(const std::string& Path) { startFile_ = Path; }
    // The start-up file's first picture, already on its way.
    void SetFirstPicture(std::unique_ptr<TFirstPicture> First);
    // An upper bound of the viewing panel's size as the settings will place
    // this window, known before it is made.
    static QSize StoredPanelBound();

    // Components, named as the window's design names them.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* PreviousImageButton = nullptr;
    QToolButton* NextImageButton = nullptr;
    QLineEdit* Seconds = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QToolButton* LumenoBtn = nullptr;
    QToolButton* MoveButton = nullptr;
    QToolButton* tbAcquire = nullptr;
    QToolButton* tbPhotoAlbum = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* SearchButton = nullptr;
    QToolButton* tbGlimpset = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* SetColor = nullptr;
    QToolButton* AutoZoom = nullptr;
    QSplitter* MainSplitter = nullptr;
    QSplitter* LeftSplitter = nullptr;
    QWidget* LeftMain = nullptr;
    QWidget* LeftTop = nullptr;
    QWidget* LeftBottom = nullptr;
    TdfsSystemTreeView* STV1 = nullptr;
    QTreeWidget* SLV1 = nullptr;
    QWidget* RightMain = nullptr;
    TPictureBox* Image1 = nullptr;
    TGIFImage* GIFImage1 = nullptr;
    TDCAVIPlay* AVIPlay1 = nullptr;
    TPGImage* PGImage1 = nullptr;
    TdfsStatusBar* SB1 = nullptr;
    TALed* ALed1 = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* Bookmarks1 = nullptr;
    std::unique_ptr<TPreviewPrinter> PP1;

    // Handlers (each feature's in its own main_window_*.cpp).
    void FormCreate();
    void FormShow();
    void FormClose();
    void DeleteFile1Click();
    void PageSetup1Click();
    void SetColor1Click();
    void Quit1Click();
    void Contents1Click();
    void SearchForHelpOn1Click();
    void FeatureOverview1Click();
    void HowToUseHelp1Click();
    void AboutLumeno1Click();
    void ZoomIn1Click();
    void ZoomOut1Click();
    void ViewAllFiles1Click();
    void Refresh1Click();
    void AutoZoomClick();
    void InLumeno1Click();
    void Retouvo1Click();
    void Convert1Click();
    void Movefilestoselecteddirectory1Click();
    void RenameFile1Click();
    void FileAttributes1Click();
    void AddFolder1Click();
    void DeleteFolder1Click();
    void IncrementalRename1Click();
    void Folvios1Click();
    void GlimpsetCreator1Click();
    void Glimpset1Click();
    void SearchFiles1Click();
    void SetPreferences1Click();
    void InExternalEditor1Click();
    void PrintFolderListing1Click();
    void PrintImage1Click();
    void Copy1Click();
    void EXIFData1Click();
    void ImageProperties1Click();
    void Centered1Click();
    void Tiled1Click();
    void Stretched1Click();
    void RemoveWallpaper1Click();
    void PopupMenu1Popup();
    void RightMainResize();
    void NextImageButtonClick();
    void PreviousImageButtonClick();
    void LumenoBtnClick();
    void UpDown1Click();
    void Timer1Timer();
    void AddBookmark1Click();
    void EditBookmarks1Click();
    void BookmarkClick(const std::string& Folder);
    // The edit dialog's OK: its list becomes the file and the menu.
    void SaveEditedBookmarks(const std::vector<std::string>& Folders);
    // The panel's background as chosen by "Set Color..." (Chosen) or read at start.
    void SetPanelColor(const QColor& Color, bool Chosen);
    // Opens the help page of a context; says so when it cannot.
    void ShowHelpContext(int Context);
    void STV1Change();
    void SLV1Change();
    void SLV1ColumnClick(int Column);
    void SLV1DblClick();
    // The single-instance server's macro handler: raises the window and
    // shows the file of the last open command.
    void LumenoDdeServerExecuteMacro(const std::vector<std::string>& Commands);

    // The thumbnail window's refresh after a delete in the same folder; set
    // by that window.
    std::function<void(const std::string& Folder)> OnFilesDeleted;
    // Local files dropped on the window from other programs; set by the file mover.
    std::function<void(const QStringList& Paths)> MoveDroppedFiles;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    friend class TLoadFile;
    void BuildLayout();
    void BuildToolBar();
    void BuildPanes();
    void BuildStatusBar();
    void PlaceLamp();
    void BuildCommands();
    void Connect(QAction* Action, const TCommand& Row);
    // Keypad + and - anywhere in the window: Zoom In and Zoom Out.
    bool KeypadZoom(QObject* Watched, QEvent* Event);
    void BuildViewers();
    void ReadGeometry();
    void WriteGeometry();
    void OpenStartFolder();
    void HideViewers();
    // Fits the viewer of a type's extension to the viewing panel.
    void FitViewer(const std::string& Ext);
    QWidget* Viewer(const std::string& Ext) const;
    QSize PictureSize(const std::string& Ext) const;
    void DeleteFiles(const std::vector<std::string>& Paths);
    void AddBookmarkItem(const std::string& Folder);
    void SetStatus(int Panel, const std::string& Text);
    // Reads the list's next picture ahead while this one is looked at.
    void PreReadNext();
    // The list row of the file shown; -1 when it is not listed.
    int ShownRow() const;
    void ReadFullPicture(const std::string& Path, QSize Full);
    void DropFullPicture();
    // Lets the image editor reach this window's folder, cursor and help.
    void InstallEditorHost();

    TSettingsStore settings_;
    std::map<std::string, QAction*> commands_;
    std::set<std::string> ready_;
    std::string currentFile_;
    std::string currentExt_;
    std::string lastCaption_;
    std::string fileMask_;
    std::string startFile_;
    std::string listedFolder_;
    std::vector<std::string> bookmarks_;
    int sortColumn_ = 0;
    bool sortAscending_ = true;
    int leftWidth_ = 180;
    int leftHeight_ = 120;
    int deleteMode_ = 0;
    bool confirmDeletions_ = true;
    bool colorChanged_ = false;
    bool shown_ = false;
    TLoadFile loader_;
    TPreRead preRead_;
    std::unique_ptr<TFirstPicture> firstPicture_;
    // The file whose full picture is being read, and that picture's size.
    std::string fullPath_;
    QSize fullSize_;
    std::unique_ptr<TEditorHost> editorHost_;
    // This window's close ends the program, so it waits for every save.
    std::unique_ptr<TCloseAfterWork> closeAfterWork_;
};

// The one main window; nullptr before CreateForm1().
TForm1* Form1();
void CreateForm1();
// Frees the main window (tests; the program ends with it).
void FreeForm1();

} // namespace lumeno
