#include "app/album/frm_pub_wizard.h"

#include "app/album/f_a_prefs.h"
#include "app/album/f_album.h"
#include "app/album/radio_group.h"
#include "app/common/backgrounds_folder.h"
#include "app/common/help.h"
#include "app/common/window_holder.h"
#include "controls/shell/browse_directory_dlg.h"
#include "controls/shell/color_button_palette.h"
#include "controls/shell/dfs_color_button.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_globals.h"
#include "imagelib/view/pg_open_dialog.h"
#include "platform/dialogs.h"
#include "platform/qt/worker_pool.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include <unistd.h>

namespace lumeno {

namespace {

constexpr int kFolderPage = 2;
constexpr int kLastPage = 5;

QSpinBox* SpinBox(QWidget* parent, const char* name, int low, int high, int step, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setValue(value);
    return box;
}

QSlider* TrackBar(QWidget* parent, const char* name, int low, int high)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(low, high);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(10);
    return bar;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text = {})
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

// A page: its explanation on top, then its controls.
QWidget* Page(const QString& explanation, QLayout* controls)
{
    auto* page = new QWidget;
    auto* text = new QLabel(explanation, page);
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(text);
    layout->addSpacing(8);
    layout->addLayout(controls);
    layout->addStretch();
    return page;
}

// The frame setup's caption choices the wizard has no button for.
int WizardCaptionOf(int frameSetupChoice)
{
    switch (frameSetupChoice) {
    case acFilename:
    case acFilenameDateTime:
        return wcFilename;
    case acCaption:
        return wcCaption;
    default:
        return wcNone;
    }
}

} // namespace

TfrmPubWizard* frmPubWizard()
{
    return HeldWindow<TfrmPubWizard>();
}

void ShowWebWizardTool(const std::string& albumFile)
{
    if (!albumFile.empty())
        fAlbum()->OpenAlbumFile(albumFile);
    frmPubWizard()->open();
}

TfrmPubWizard::TfrmPubWizard(QWidget* parent)
    : QDialog(parent), PGOpenDialog1([this](const QString& Folder) {
          auto* dialog = new TPGOpenDialog(this, Folder);
          dialog->SetFilter("JPG - JPEG (JFIF compliant)|*.jpg|GIF - Graphic Interchange Format|*.gif|PNG - "
                            "Portable Network Graphics|*.png");
          return dialog;
      })
{
    setObjectName("frmPubWizard");
    setWindowTitle("Folvio Web Publishing Wizard");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName("Notebook1");
    for (QWidget* page : {MakeLayoutPage(), MakeQualityPage(), MakeFolderPage(), MakeNamesPage(),
                          MakeColoursPage(), MakeFinishPage()})
        Notebook1->addWidget(page);

    BackBtn = new QPushButton("< &Back", this);
    NextBtn = new QPushButton("&Next >", this);
    CloseBtn = new QPushButton("&Close", this);
    HelpBtn = new QPushButton("&Help", this);
    NextBtn->setDefault(true);
    connect(BackBtn, &QPushButton::clicked, this, &TfrmPubWizard::BackClick);
    connect(NextBtn, &QPushButton::clicked, this, &TfrmPubWizard::NextClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TfrmPubWizard::CloseClick);
    connect(HelpBtn, &QPushButton::clicked, this, [] {
        if (!ShowHelp(hcWebWizard))
            ShowMessage("The help pages could not be opened");
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    for (QPushButton* b : {BackBtn, NextBtn, CloseBtn})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Notebook1);
    layout->addLayout(buttons);

    EntriesSource = [] {
        const TfAlbum* album = MadeWindow<TfAlbum>();
        return album ? album->Entries() : std::vector<TAlbumEntry>{};
    };
    OpenPage = [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    FormCreate();
    resize(520, 380);
}

TfrmPubWizard::~TfrmPubWizard()
{
    StopPublishing();
}

QWidget* TfrmPubWizard::MakeLayoutPage()
{
    udThumbnailSize = SpinBox(this, "udThumbnailSize", 32, 256, 4, 96);
    udCols = SpinBox(this, "udCols", 1, 6, 1, 3);
    udRows = SpinBox(this, "udRows", 1, 6, 1, 2);
    cbPrintFrames = new QCheckBox("Show Frames", this);
    cbPrintFrames->setObjectName("cbPrintFrames");
    udMaxSize = SpinBox(this, "udMaxSize", 40, 2000, 10, 2000);
    ePageCount = Edit(this, "ePageCount");
    ePageCount->setReadOnly(true);
    connect(udCols, &QSpinBox::valueChanged, this, &TfrmPubWizard::CopyLayoutToFrameSetup);
    connect(udRows, &QSpinBox::valueChanged, this, &TfrmPubWizard::CopyLayoutToFrameSetup);
    connect(cbPrintFrames, &QCheckBox::toggled, this, &TfrmPubWizard::CopyLayoutToFrameSetup);
    auto* form = new QFormLayout;
    form->addRow("Thumbnail Size", udThumbnailSize);
    form->addRow("Columns", udCols);
    form->addRow("Rows", udRows);
    form->addRow(cbPrintFrames);
    form->addRow("Max Size", udMaxSize);
    form->addRow("Pages", ePageCount);
    return Page(
        "Each page shows a table of thumbnails; a click on one opens the picture. Choose the thumbnail "
        "size, how many columns and rows a page holds, and the largest size a picture is published at.",
        form);
}

QWidget* TfrmPubWizard::MakeQualityPage()
{
    tbImageQuality = TrackBar(this, "tbImageQuality", 10, 100);
    cbAutoSharpen = new QCheckBox("Auto Sharpen", this);
    cbAutoSharpen->setObjectName("cbAutoSharpen");
    cbAutoSharpen->setChecked(true);
    tbSharpeningFactor = TrackBar(this, "tbSharpeningFactor", 40, 80);
    cbProgressive = new QCheckBox("Progressive Display", this);
    cbProgressive->setObjectName("cbProgressive");
    cbProgressive->setChecked(true);
    connect(cbAutoSharpen, &QCheckBox::toggled, tbSharpeningFactor, &QSlider::setEnabled);
    auto* quality = new QHBoxLayout;
    quality->addWidget(new QLabel("Lowest", this));
    quality->addWidget(tbImageQuality);
    quality->addWidget(new QLabel("Highest", this));
    auto* form = new QFormLayout;
    form->addRow("Image Quality", quality);
    form->addRow(cbAutoSharpen);
    form->addRow("Sharpening Amount", tbSharpeningFactor);
    form->addRow(cbProgressive);
    return Page("Pictures are published as JPEG files. A higher quality gives larger files; sharpening keeps "
                "scaled pictures crisp; progressive pictures show coarsely first while they load.",
                form);
}

QWidget* TfrmPubWizard::MakeFolderPage()
{
    rgCaption = new TRadioGroup("Caption Options", {"None", "Filename", "Caption"}, this);
    rgCaption->setObjectName("rgCaption");
    rgCaption->SetItemIndex(wcNone);
    eWebFolder = Edit(this, "eWebFolder");
    btnBrowseFolder = new QPushButton("...", this);
    btnBrowseFolder->setMaximumWidth(32);
    BrowseDirectoryDlg1 = new TdfsBrowseDirectoryDlg(this);
    connect(btnBrowseFolder, &QPushButton::clicked, this, [this] {
        BrowseDirectoryDlg1->SetSelection(WebFolderPath(eWebFolder->text().toStdString()));
        BrowseDirectoryDlg1->Open([this](bool chosen) {
            if (chosen)
                eWebFolder->setText(QString::fromStdString(BrowseDirectoryDlg1->Selection()));
        });
    });
    connect(eWebFolder, &QLineEdit::editingFinished, this, [this] {
        if (!CheckWebFolder())
            eWebFolder->setFocus();
    });
    auto* folder = new QHBoxLayout;
    folder->addWidget(eWebFolder);
    folder->addWidget(btnBrowseFolder);
    auto* layout = new QVBoxLayout;
    layout->addWidget(rgCaption);
    layout->addWidget(new QLabel("Folder for the pages and pictures", this));
    layout->addLayout(folder);
    return Page("Choose what is written under each thumbnail and the folder the album is published into.",
                layout);
}

QWidget* TfrmPubWizard::MakeNamesPage()
{
    ePageName = Edit(this, "ePageName", "myphotos.html");
    eTitle = Edit(this, "eTitle");
    eHeader = Edit(this, "eHeader");
    eFooter = Edit(this, "eFooter");
    auto* form = new QFormLayout;
    form->addRow("Page Name", ePageName);
    form->addRow("Title", eTitle);
    form->addRow("Header", eHeader);
    form->addRow("Footer", eFooter);
    return Page("The page name is the name of the first page; further pages are numbered. The title shows in "
                "the browser's window, the header above the pictures and the footer below them.",
                form);
}

QWidget* TfrmPubWizard::MakeColoursPage()
{
    VOZColorButton1 = new TdfsColorButton(this);
    VOZColorButton1->setObjectName("VOZColorButton1");
    VOZColorButton1->SetColor(clWhite);
    VOZColorButton2 = new TdfsColorButton(this);
    VOZColorButton2->setObjectName("VOZColorButton2");
    eBGImage = Edit(this, "eBGImage");
    btnBrowseBGImage = new QPushButton("...", this);
    btnBrowseBGImage->setMaximumWidth(32);
    cbUseBGImage = new QCheckBox("Use Background Image File", this);
    cbUseBGImage->setObjectName("cbUseBGImage");
    connect(btnBrowseBGImage, &QPushButton::clicked, this, [this] {
        PGOpenDialog1->ExecuteAsync([this](bool chosen) {
            if (chosen)
                eBGImage->setText(QString::fromStdString(PGOpenDialog1->GetFileName()));
        });
    });
    auto* image = new QHBoxLayout;
    image->addWidget(eBGImage);
    image->addWidget(btnBrowseBGImage);
    auto* form = new QFormLayout;
    form->addRow("Background Color", VOZColorButton1);
    form->addRow("Text Color", VOZColorButton2);
    form->addRow("Background Image", image);
    form->addRow(cbUseBGImage);
    return Page("Choose the pages' colours, or a picture that is tiled behind them.", form);
}

QWidget* TfrmPubWizard::MakeFinishPage()
{
    cbDisplayResults = new QCheckBox("Display results in your Web Browser when finished", this);
    cbDisplayResults->setObjectName("cbDisplayResults");
    cbDisplayResults->setChecked(true);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setValue(0);
    auto* layout = new QVBoxLayout;
    layout->addWidget(cbDisplayResults);
    layout->addWidget(ProgressBar1);
    return Page("<b>Congratulations!</b><br><br>Everything is set. Press Next to publish the album.", layout);
}

void TfrmPubWizard::FormCreate()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    eWebFolder->setText(QDir(pictures).filePath("MyAlbum"));
    const QString backgrounds = BackgroundsFolder();
    if (!backgrounds.isEmpty())
        PGOpenDialog1.SetDirectory(backgrounds);
    connect(fAPrefs(), &TfAPrefs::CaptionChoiceClicked, this, &TfrmPubWizard::FollowFrameSetupCaption);
}

void TfrmPubWizard::showEvent(QShowEvent* event)
{
    Notebook1->setCurrentIndex(0);
    const TAlbumOptions o = fAPrefs()->Options();
    {
        const QSignalBlocker c(udCols), r(udRows), f(cbPrintFrames);
        rgCaption->SetItemIndex(WizardCaptionOf(o.Caption));
        udRows->setValue(o.Rows);
        udCols->setValue(o.Cols);
        cbPrintFrames->setChecked(o.PrintFrames);
    }
    UpdatePageCount();
    tbImageQuality->setValue(80);
    tbSharpeningFactor->setValue(60);
    SetButtonsEnabled(true);
    QDialog::showEvent(event);
}

void TfrmPubWizard::FollowFrameSetupCaption(int index)
{
    rgCaption->SetItemIndex(WizardCaptionOf(index));
}

void TfrmPubWizard::CopyLayoutToFrameSetup()
{
    fAPrefs()->Cols->setValue(udCols->value());
    fAPrefs()->Rows->setValue(udRows->value());
    fAPrefs()->cbPrintFrames->setChecked(cbPrintFrames->isChecked());
    UpdatePageCount();
}

void TfrmPubWizard::UpdatePageCount()
{
    const int entries = EntriesSource ? int(EntriesSource().size()) : 0;
    ePageCount->setText(QString::fromStdString(PageCountText(entries, udCols->value(), udRows->value())));
}

TWebAlbumOptions TfrmPubWizard::Options() const
{
    TWebAlbumOptions o;
    o.ThumbnailSize = udThumbnailSize->value();
    o.Cols = udCols->value();
    o.Rows = udRows->value();
    o.ShowFrames = cbPrintFrames->isChecked();
    o.MaxSize = udMaxSize->value();
    o.ImageQuality = tbImageQuality->value();
    o.AutoSharpen = cbAutoSharpen->isChecked();
    o.SharpeningFactor = tbSharpeningFactor->value();
    o.Progressive = cbProgressive->isChecked();
    o.Caption = std::max(rgCaption->ItemIndex(), 0);
    o.Folder = WebFolderPath(eWebFolder->text().toStdString());
    o.PageName = ePageName->text().toStdString();
    o.Title = eTitle->text().toStdString();
    o.Header = eHeader->text().toStdString();
    o.Footer = eFooter->text().toStdString();
    o.BackgroundColor = VOZColorButton1->Color();
    o.TextColor = VOZColorButton2->Color();
    o.BackgroundImage = eBGImage->text().toStdString();
    o.UseBackgroundImage = cbUseBGImage->isChecked();
    o.DisplayResults = cbDisplayResults->isChecked();
    return o;
}

bool TfrmPubWizard::CheckWebFolder()
{
    static bool checking = false;
    if (checking)
        return true;
    const std::string folder = WebFolderPath(eWebFolder->text().toStdString());
    if (!folder.empty() && QDir().mkpath(QString::fromStdString(folder)))
        return true;
    checking = true;
    ShowMessage("Error creating folder " + eWebFolder->text().toStdString() +
                "\r\nPlease use a standard path like ~/MyWebPages");
    checking = false;
    return false;
}

void TfrmPubWizard::SetButtonsEnabled(bool enabled)
{
    BackBtn->setEnabled(enabled);
    NextBtn->setEnabled(enabled);
}

void TfrmPubWizard::BackClick()
{
    if (Notebook1->currentIndex() > 0)
        Notebook1->setCurrentIndex(Notebook1->currentIndex() - 1);
}

void TfrmPubWizard::NextClick()
{
    const int page = Notebook1->currentIndex();
    if (page == kFolderPage &&
        !QDir(QString::fromStdString(WebFolderPath(eWebFolder->text().toStdString()))).exists()) {
        // Created, and the wizard stays so the user sees it worked.
        CheckWebFolder();
        return;
    }
    if (page < kLastPage) {
        Notebook1->setCurrentIndex(page + 1);
        return;
    }
    SetButtonsEnabled(false);
    Publish();
}

void TfrmPubWizard::CloseClick()
{
    close();
}

void TfrmPubWizard::Publish()
{
    // The workers read the run's entries, names and options until it ends.
    if (Publishing())
        return;
    entries_ = EntriesSource ? EntriesSource() : std::vector<TAlbumEntry>{};
    if (entries_.empty()) {
        ShowMessage("You need to have some image files added to the Album list!");
        close();
        return;
    }
    runOptions_ = Options();
    const std::string& folder = runOptions_.Folder;
    if (folder.empty() || !QDir().mkpath(QString::fromStdString(folder))) {
        ShowMessage("Cannot create " + folder);
        SetButtonsEnabled(true);
        Notebook1->setCurrentIndex(1);
        return;
    }
    if (PageBaseName(runOptions_.PageName).empty()) {
        ShowMessage("The page name needs a name before its first \".\" and may not hold \"/\"");
        SetButtonsEnabled(true);
        return;
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        ShowMessage("Cannot write into the folder " + folder);
        SetButtonsEnabled(true);
        return;
    }
    outputs_ = PlanWebOutputs(entries_, folder, WebBackgroundName(runOptions_));
    const std::vector<std::string> existing = ExistingWebTargets(entries_, outputs_, runOptions_);
    if (!existing.empty() &&
        MessageDlg(WebReplaceQuestion(existing), TMsgDlgType::mtConfirmation, mbYesNo) != mrYes) {
        SetButtonsEnabled(true);
        return;
    }
    // The writer's options are set for the run and put back after it.
    savedQuality_ = JPEGQuality;
    savedProgressive_ = JPEGProgressive;
    JPEGQuality = std::uint8_t(runOptions_.ImageQuality);
    JPEGProgressive = runOptions_.Progressive;
    written_.assign(entries_.size(), false);
    errors_.clear();
    finished_ = 0;
    const int count = int(entries_.size());
    ProgressBar1->setRange(0, count);
    ProgressBar1->setValue(0);
    pool_ = std::make_unique<TWorkerPool>(count, [this](int i) -> std::function<void()> {
        const std::size_t k = std::size_t(i);
        std::string error = WriteWebAlbumImages(entries_[k], outputs_[k], runOptions_);
        return [this, i, error] { EntryPublished(i, error); };
    });
    pool_->Start(AvailableCpus(), count);
}

void TfrmPubWizard::EntryPublished(int index, const std::string& error)
{
    written_[std::size_t(index)] = error.empty();
    if (!error.empty())
        errors_.push_back(error);
    ProgressBar1->setValue(++finished_);
    if (finished_ == int(entries_.size()))
        PublishingDone();
}

void TfrmPubWizard::StopPublishing()
{
    if (!pool_)
        return;
    pool_.reset();
    JPEGQuality = savedQuality_;
    JPEGProgressive = savedProgressive_;
    ProgressBar1->setValue(0);
}

void TfrmPubWizard::PublishingDone()
{
    // Every worker is done; the pool's own calls keep what they need.
    pool_.reset();
    JPEGQuality = savedQuality_;
    JPEGProgressive = savedProgressive_;
    std::string firstPage;
    try {
        firstPage = WriteWebAlbumPages(entries_, outputs_, written_, runOptions_);
    } catch (const std::exception& e) {
        errors_.push_back(e.what());
    }
    ProgressBar1->setValue(0);
    if (errors_.size() == 1) {
        MessageDlg(errors_.front(), TMsgDlgType::mtError, mbOK);
    } else if (errors_.size() > 1) {
        std::string text = "Some pictures could not be published:";
        for (const std::string& e : errors_)
            text += "\n" + e;
        MessageDlg(text, TMsgDlgType::mtError, mbOK);
    }
    if (!firstPage.empty() && runOptions_.DisplayResults && OpenPage)
        OpenPage(runOptions_.Folder + firstPage);
    SetButtonsEnabled(true);
}

void TfrmPubWizard::closeEvent(QCloseEvent* event)
{
    StopPublishing();
    QDialog::closeEvent(event);
}

void TfrmPubWizard::reject()
{
    StopPublishing();
    QDialog::reject();
}

} // namespace lumeno
