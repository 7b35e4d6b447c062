#pragma once
// "Folvio Web Publishing Wizard": six pages of choices, then the album's
// entries are published as web pages with JPEG pictures and thumbnails in
// one folder, the pictures written on all cores.

#include "app/album/web_album.h"
#include "platform/qt/dialog_on_demand.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;

namespace lumeno {

class TdfsBrowseDirectoryDlg;
class TdfsColorButton;
class TPGOpenDialog;
class TRadioGroup;
class TWorkerPool;

class TfrmPubWizard : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPubWizard(QWidget* parent = nullptr);
    ~TfrmPubWizard() override;

    TWebAlbumOptions Options() const;
    void UpdatePageCount();
    bool Publishing() const { return pool_ != nullptr; }

    void BackClick();
    void NextClick();
    void CloseClick();
    // Checks the typed folder, creating it when missing; false (with the
    // message) when it still does not exist.
    bool CheckWebFolder();

    // Replaceable for tests: the entries to publish, and opening a page.
    std::function<std::vector<TAlbumEntry>()> EntriesSource;
    std::function<void(const std::string&)> OpenPage;

    QStackedWidget* Notebook1;
    QSpinBox* udThumbnailSize;
    QSpinBox* udCols;
    QSpinBox* udRows;
    QCheckBox* cbPrintFrames;
    QSpinBox* udMaxSize;
    QLineEdit* ePageCount;
    QSlider* tbImageQuality;
    QCheckBox* cbAutoSharpen;
    QSlider* tbSharpeningFactor;
    QCheckBox* cbProgressive;
    TRadioGroup* rgCaption;
    QLineEdit* eWebFolder;
    QPushButton* btnBrowseFolder;
    QLineEdit* ePageName;
    QLineEdit* eTitle;
    QLineEdit* eHeader;
    QLineEdit* eFooter;
    TdfsColorButton* VOZColorButton1;
    TdfsColorButton* VOZColorButton2;
    QLineEdit* eBGImage;
    QPushButton* btnBrowseBGImage;
    QCheckBox* cbUseBGImage;
    QCheckBox* cbDisplayResults;
    QProgressBar* ProgressBar1;
    QPushButton* BackBtn;
    QPushButton* NextBtn;
    QPushButton* CloseBtn;
    QPushButton* HelpBtn;
    TdfsBrowseDirectoryDlg* BrowseDirectoryDlg1;
    TDialogOnDemand<TPGOpenDialog> PGOpenDialog1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* MakeLayoutPage();
    QWidget* MakeQualityPage();
    QWidget* MakeFolderPage();
    QWidget* MakeNamesPage();
    QWidget* MakeColoursPage();
    QWidget* MakeFinishPage();
    void FormCreate();
    void CopyLayoutToFrameSetup();
    void FollowFrameSetupCaption(int index);
    void SetButtonsEnabled(bool enabled);
    void Publish();
    void EntryPublished(int index, const std::string& error);
    void PublishingDone();
    void StopPublishing();

    // State of a run.
    std::unique_ptr<TWorkerPool> pool_;
    std::vector<TAlbumEntry> entries_;
    std::vector<TWebOutput> outputs_;
    std::vector<bool> written_;
    std::vector<std::string> errors_;
    TWebAlbumOptions runOptions_;
    int finished_ = 0;
    std::uint8_t savedQuality_ = 0;
    bool savedProgressive_ = false;
};

TfrmPubWizard* frmPubWizard();
// "--tool webwizard file.alb": the wizard alone over the file's entries.
void ShowWebWizardTool(const std::string& albumFile);

} // namespace lumeno
