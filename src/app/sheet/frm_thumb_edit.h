#pragma once
// "Glimpset Creator": a list of image files dropped from the program's file
// lists and the thumbnail sheet built from them with the options window's
// settings. Beyond common/, it uses effects/ for the sheet's frames and
// drawing, and thumbs/ because it opens the image properties and full-image
// windows.

#include "platform/qt/dialog_on_demand.h"

#include <QWidget>

#include <memory>

class QAction;
class QListWidget;
class QMenu;
class QMenuBar;
class QMimeData;
class QPushButton;
class QToolButton;

namespace lumeno {

class TdfsStatusBar;
class TPGImage;
class TPGSaveDialog;
class TPixelGraphic;
class TSheetBuilder;

class TfrmThumbEdit : public QWidget {
    Q_OBJECT
public:
    explicit TfrmThumbEdit(QWidget* parent = nullptr);
    ~TfrmThumbEdit() override;

    // Appends the viewable files among the paths (the start-up's file list).
    void AddFiles(const QStringList& paths);

    QMenuBar* MainMenu1;
    QAction* GenerateGlimpset1;
    QAction* SaveAs1;
    QAction* Close1;
    TdfsStatusBar* StatusBar1;
    QListWidget* ListBox1;
    QMenu* PopupMenu1;
    QAction* ViewImage1;
    QAction* ImageProperties1;
    QAction* DeleteSelectedItem1;
    QAction* ClearAllItems1;
    TPGImage* PGImage1;
    QToolButton* sbKAR;
    QPushButton* btnSave;
    QPushButton* btnOptions;
    QPushButton* btnMakeGlimpset;
    TDialogOnDemand<TPGSaveDialog> PGSaveDialog1;

    // Starts building the sheet; the window stays live while it is built.
    void GenerateGlimpset1Click();
    // Ends a build after the thumbnails in work; the shown sheet stays.
    void EscapePressed();
    bool Building() const;
    void SaveAs1Click();
    // Saves the shown sheet (writer by extension); a failure is shown.
    void SaveSheet(const std::string& fileName);
    void ViewImage1Click();
    void ImageProperties1Click();
    void DeleteSelectedItem1Click();
    void ClearAllItems1Click();
    void sbKARClick();
    void btnOptionsClick();
    // A drop from one of the program's file lists; false for other data.
    bool ListDragDrop(const QMimeData* data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    QWidget* CreateToolPanel();
    void UpdateItemCommands();
    std::string SelectedPath() const;
    void SetPanel(int index, const std::string& text);
    void BuildDone(std::unique_ptr<TPixelGraphic> sheet);
    void StopBuild();

    std::unique_ptr<TSheetBuilder> builder_;
};

TfrmThumbEdit* frmThumbEdit();

} // namespace lumeno
