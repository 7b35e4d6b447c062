#pragma once
// "Lumeno Folvio Maker": a list of pictures laid out as printed album pages,
// recorded with the preview printer and kept in album files. Beyond common/,
// it uses effects/ for its cells' frames and quarter turns; the other windows
// it reaches (the main list, the full-image window, image properties) come
// through TAlbumHost.

#include "app/album/album_file.h"
#include "app/album/album_options.h"
#include "controls/media/preview_printer.h"

#include <QFont>
#include <QMainWindow>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QProgressBar;

namespace lumeno {

class TAlbumPreviewRun;
class TFontDialog;
class TfrmEdit;
class TPixelGraphic;
struct TAlbumCellJob;
struct TAlbumCellPicture;
struct TListDrag;

// The entry list: takes drags from the program's file lists.
class TAlbumListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TAlbumListView(QWidget* parent = nullptr);

signals:
    void ListDropped(const TListDrag& drag);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class TfAlbum : public QMainWindow {
    Q_OBJECT
public:
    explicit TfAlbum(QWidget* parent = nullptr);
    ~TfAlbum() override;

    // A copy of the file's picture turned by Angle degrees (90, 180, 270,
    // 360); nullptr for other angles. Raises when the file cannot be read.
    static std::unique_ptr<TPixelGraphic> LoadRotatedImage(const std::string& FileName, int Angle);

    // --- entries ---------------------------------------------------------
    std::vector<TAlbumEntry> Entries() const;
    // Appends an entry; a path that cannot be stored is refused with a
    // message (false).
    bool AddEntry(const TAlbumEntry& entry);
    void SetEntries(const std::vector<TAlbumEntry>& entries);
    int SelectedIndex() const;
    void SelectIndex(int index);
    void AddDroppedFiles(const TListDrag& drag);

    // --- commands (menu, tool bar and popup) ------------------------------
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void PreviewClick();
    void ContactSheetClick();
    void SelectPrinterClick();
    void PageSetupClick();
    void FrameSetupClick();
    void CaptionFontClick();
    void WebAlbumClick();
    void CloseClick();
    void ImportAllFilesClick();
    void PickImportFolder();
    void ClearAllClick();
    void DeleteSelectionClick();
    void MoveUpClick();
    void MoveDownClick();
    void RotateClockwiseClick();
    void RotateCounterClockwiseClick();
    void EditCaptionClick();
    void ViewImageClick();
    void ImagePropertiesClick();

    // --- album files -------------------------------------------------------
    // Writes the album; false (with the message) when there are no entries.
    bool WriteAlbumFile(const std::string& FileName);
    // Reads the album, replacing the entries and the settings; the album
    // stays as it was when the file is refused.
    bool OpenAlbumFile(const std::string& FileName);
    const std::string& SaveName() const { return saveName_; }

    // The album settings kept in files, from the frame setup and the font.
    TAlbumFileSettings FileSettings() const;
    const QFont& CaptionFont() const { return captionFont_; }

    // The printer's page and its margins in printer pixels.
    TAlbumPage PrintedPage();
    bool PreviewRunning() const;
    // Stops a running preview after the entry being recorded, showing the
    // pages recorded so far unless told not to.
    void StopPreview(bool showPages = true);

    // Replaceable for tests: picking file names (empty = cancelled) and
    // showing the recorded pages.
    std::function<std::string(bool Save)> PickFileName;
    std::function<void(TPreviewPrinter&)> ShowPreview;

    TAlbumListView* LVAlbum;
    TPreviewPrinter PreviewPrinter1;
    QProgressBar* PB1;
    QLabel* SB1Panel0;
    QLabel* SB1Panel1;
    TfrmEdit* frmEdit;
    TFontDialog* FontDialog1;
    std::map<std::string, QAction*> Actions;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildCommands();
    void BuildList();
    void BuildStatusBar();
    void UpdateCommands();
    void UpdateCount();
    void SetRow(QTreeWidgetItem* item, const TAlbumEntry& entry);
    TAlbumEntry EntryAt(int index) const;
    void MoveSelected(int delta);
    void RotateSelected(int steps);
    bool RequireSelection();
    bool RequireEntries();
    void ApplyFileSettings(const TAlbumFileSettings& settings);
    std::string DefaultPickFileName(bool save);

    // Preview recording.
    std::vector<TAlbumCellJob> PreviewJobs(const TAlbumOptions& options, const TAlbumCells& cells);
    void StartPreview();
    void RecordCell(TAlbumCellPicture& picture);
    void FinishPreview(bool showPages = true);

    QFont captionFont_;
    TColor captionFontColor_ = clBlack;
    std::string saveName_;
    std::string openFolder_;
    std::unique_ptr<TAlbumPreviewRun> run_;
    std::vector<TAlbumEntry> runEntries_;
    int runPerPage_ = 1;
    int runPage_ = 1;
    bool runUnderCaptions_ = false;
    bool runFrames_ = false;
};

// The entry list's mark for a rotation step.
QIcon AlbumRotationIcon(int steps);

TfAlbum* fAlbum();
// "--tool album [file.alb]": the album alone, with the file opened.
void ShowAlbumTool(const std::string& albumFile);

} // namespace lumeno
