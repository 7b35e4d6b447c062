#include "app/thumbs/thumbnails_form.h"

#include "app/common/window_holder.h"
#include "app/thumbs/exif_form.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "app/thumbs/save_thumbnail_form.h"
#include "app/thumbs/thumbnail_maker.h"
#include "app/thumbs/thumbs_host.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/system_tree_view.h"
#include "platform/dialogs.h"
#include "platform/qt/window_placement.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

namespace lumeno {

namespace {

int thumbnailSize = 64;

// Tags of the list drags: 1 is the main window's list.
constexpr int kDragTag = 2;

QAction* Checkable(QActionGroup* group, const QString& text, const char* name)
{
    auto* action = new QAction(text, group);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    return action;
}

QAction* Command(QObject* parent, const QString& text, const char* name)
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

int ThumbnailSize() { return thumbnailSize; }
void SetThumbnailSize(int Size) { thumbnailSize = Size; }

TfrmThumbnails* frmThumbnails() { return HeldWindow<TfrmThumbnails>(); }

TfrmThumbnails::TfrmThumbnails(QWidget* Parent)
    : QWidget(Parent, Qt::Window), STV2(new TdfsSystemTreeView(this)), SLV2(new TThumbListView(this)),
      SB1(new TdfsStatusBar(this)), ProgressBar1(new QProgressBar(this)), ToolBar1(new QToolBar(this)),
      MainMenu1(new QMenuBar(this)), PopupMenu1(new QMenu(this)), pmSize(new QMenu("&Size", this))
{
    setObjectName("frmThumbnails");
    setWindowTitle("Thumbnail Explorer");
    resize(720, 520);
    STV2->setObjectName("STV2");
    SLV2->setObjectName("SLV2");
    SLV2->SetColor(QColor(254, 255, 230));
    SLV2->SetDragTag(kDragTag);
    SB1->setObjectName("SB1");
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setMaximumWidth(160);
    ProgressBar1->hide();
    BuildActions();
    BuildLayout();
    const int widths[] = {0, 140, 100, 50};
    for (int width : widths)
        SB1->Panels().Add().SetWidth(width);
    SB1->Panels()[2].SetAlignment(taCenter);

    connect(STV2, &TdfsSystemTreeView::OnChange, this, [this] { STV2Change(); });
    connect(SLV2, &TThumbListView::ColumnClicked, this, &TfrmThumbnails::SLV2ColumnClick);
    connect(SLV2, &TThumbListView::ItemClicked, this, [this] { SLV2Click(); });
    connect(SLV2, &TThumbListView::ItemDoubleClicked, this, [this] { ViewImageClick(); });
    connect(SLV2, &TThumbListView::ContextMenuRequested, this, &TfrmThumbnails::PopupMenu1Popup);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TfrmThumbnails::EscapePressed);
}

TfrmThumbnails::~TfrmThumbnails()
{
    batch_.Stop();
    loader_.Stop();
}

void TfrmThumbnails::BuildActions()
{
    auto* views = new QActionGroup(this);
    tbList = Checkable(views, "List", "tbList");
    tbReport = Checkable(views, "Report", "tbReport");
    tbIcon = Checkable(views, "Thumbnails", "tbIcon");
    tbReport->setChecked(true);
    connect(tbList, &QAction::triggered, this, &TfrmThumbnails::tbListClick);
    connect(tbReport, &QAction::triggered, this, &TfrmThumbnails::tbReportClick);
    connect(tbIcon, &QAction::triggered, this, &TfrmThumbnails::tbIconClick);
    tbPixToDisk = Command(this, "Save Thumbnails...", "tbPixToDisk");
    connect(tbPixToDisk, &QAction::triggered, this, &TfrmThumbnails::tbPixToDiskClick);
    tbGlimpset = Command(this, "Thumbnail Sheet...", "tbGlimpset");
    connect(tbGlimpset, &QAction::triggered, this, [] {
        if (ThumbsHost())
            ThumbsHost()->ShowSheetCreator();
    });

    auto* sizes = new QActionGroup(this);
    pmSize->setObjectName("pmSize");
    for (int size : kThumbnailSizes) {
        QAction* item = Checkable(sizes, QString("%1 X %1").arg(size), "");
        item->setObjectName(QString("Size%1").arg(size));
        item->setData(size);
        item->setChecked(size == ThumbnailSize());
        pmSize->addAction(item);
        connect(item, &QAction::triggered, this, [this, size] { SizeClick(size); });
    }
    auto* loads = new QActionGroup(this);
    FastLoad1 = Checkable(loads, "Fast Load", "FastLoad1");
    LiveUpdate1 = Checkable(loads, "Live Update", "LiveUpdate1");
    FastLoad1->setChecked(true);
    Refresh1 = Command(this, "Refresh", "Refresh1");
    Refresh1->setShortcut(Qt::Key_F5);
    connect(Refresh1, &QAction::triggered, this, &TfrmThumbnails::RefreshClick);

    ViewImage1 = Command(this, "View Image...", "ViewImage1");
    ImageProperties1 = Command(this, "Image Properties...", "ImageProperties1");
    EXIFData1 = Command(this, "EXIF Data...", "EXIFData1");
    SaveAsThumbnail1 = Command(this, "Save As Thumbnail...", "SaveAsThumbnail1");
    connect(ViewImage1, &QAction::triggered, this, &TfrmThumbnails::ViewImageClick);
    connect(ImageProperties1, &QAction::triggered, this, &TfrmThumbnails::ImagePropertiesClick);
    connect(EXIFData1, &QAction::triggered, this, &TfrmThumbnails::EXIFDataClick);
    connect(SaveAsThumbnail1, &QAction::triggered, this, &TfrmThumbnails::tbPixToDiskClick);
    PopupMenu1->setObjectName("PopupMenu1");
    PopupMenu1->addActions({ViewImage1, ImageProperties1, EXIFData1});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(SaveAsThumbnail1);
}

void TfrmThumbnails::BuildLayout()
{
    MainMenu1->setObjectName("MainMenu1");
    QMenu* file = MainMenu1->addMenu("&File");
    file->addAction(SaveAsThumbnail1);
    file->addSeparator();
    file->addAction("Close", this, &QWidget::close);
    QMenu* view = MainMenu1->addMenu("&View");
    view->addActions({tbList, tbReport, tbIcon});
    view->addSeparator();
    view->addAction(Refresh1);
    MainMenu1->addMenu(pmSize);
    QMenu* options = MainMenu1->addMenu("&Options");
    options->addActions({FastLoad1, LiveUpdate1});

    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->addActions({tbList, tbReport, tbIcon});
    ToolBar1->addSeparator();
    ToolBar1->addActions({tbPixToDisk, tbGlimpset});
    ToolBar1->addSeparator();
    ToolBar1->addWidget(ProgressBar1);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(STV2);
    splitter->addWidget(SLV2);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 520});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(ToolBar1);
    layout->addWidget(splitter, 1);
    layout->addWidget(SB1);
}

std::string TfrmThumbnails::Folder() const { return STV2->Directory(); }

bool TfrmThumbnails::Busy() const { return loading_ || batch_.Running(); }

void TfrmThumbnails::SetPanel(int Index, const std::string& Text) { SB1->Panels()[Index].SetText(Text); }

std::string TfrmThumbnails::SelectedPath() const
{
    const std::vector<int> selected = SLV2->SelectedIndexes();
    if (selected.size() != 1)
        return {};
    return IncludeTrailingSlash(Folder()) + SLV2->Row(selected.front()).Name;
}

// --- list ------------------------------------------------------------------------

void TfrmThumbnails::STV2Change()
{
    FillList();
    SortList();
    if (Folder() != lastLoaded_ && !batch_.Running())
        LoadThumbnails();
}

void TfrmThumbnails::FillList()
{
    StopLoad();
    const std::string folder = Folder();
    TThumbsHost* host = ThumbsHost();
    const std::vector<TFileRow> rows = host ? ListFolderFiles(folder, host->FileMask()) : std::vector<TFileRow>{};
    SLV2->SetRows(rows);
    SLV2->SetDragFolder(folder);
    SetPanel(1, std::to_string(rows.size()) + " files");
}

void TfrmThumbnails::SortList()
{
    try {
        SLV2->SortRows(sortColumn_, sortAscending_);
    } catch (const std::exception&) {
        ShowMessage("Error sorting items");
    }
}

void TfrmThumbnails::SLV2ColumnClick(int Column)
{
    if (Column != sortColumn_) {
        sortColumn_ = Column;
        sortAscending_ = true;
    } else {
        sortAscending_ = !sortAscending_;
    }
    SortList();
}

void TfrmThumbnails::SLV2Click()
{
    const std::string path = SelectedPath();
    if (TfrmEXIF* exif = MadeWindow<TfrmEXIF>(); exif && !path.empty())
        exif->RefreshExifData(path);
}

void TfrmThumbnails::PopupMenu1Popup(const QPoint& GlobalPos)
{
    const int selected = SLV2->SelectedCount();
    for (QAction* action : {ViewImage1, ImageProperties1, EXIFData1})
        action->setEnabled(selected == 1);
    SaveAsThumbnail1->setEnabled(selected >= 1);
    PopupMenu1->popup(GlobalPos);
}

// --- loading ---------------------------------------------------------------------

void TfrmThumbnails::LoadThumbnails()
{
    StopLoad();
    const int size = ThumbnailSize();
    const int count = SLV2->Count();
    SLV2->ClearThumbnails();
    SLV2->SetIconSize(size);
    loading_ = true;
    lastLoaded_ = Folder();
    if (FastLoad1->isChecked())
        SLV2->setUpdatesEnabled(false);
    SetPanel(1, "Press ESC to cancel...");
    ProgressBar1->setRange(0, std::max(count, 1));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    setCursor(Qt::BusyCursor);

    const std::string folder = IncludeTrailingSlash(lastLoaded_);
    TThumbnailLoader::TRequest request{{}, size, kThumbListColor};
    std::vector<std::string> captions;
    for (int i = 0; i < count; ++i) {
        captions.push_back(SLV2->Row(i).Name);
        request.Paths.push_back(folder + captions.back());
    }
    loader_.Start(
        std::move(request),
        [this, handles = SLV2->ItemHandles(), captions, count](int index, const QImage& cell, bool) {
            ProgressBar1->setValue(index + 1);
            SetPanel(3, std::to_string(index + 1) + " of " + std::to_string(count) + " (" + captions[index] + ")");
            SLV2->SetThumbnail(handles[index], cell);
        },
        [this] {
            SetPanel(1, "Thumbnails loaded");
            LoadFinished();
        });
}

void TfrmThumbnails::StopLoad()
{
    if (!loading_)
        return;
    loader_.Stop();
    LoadFinished();
}

void TfrmThumbnails::LoadFinished()
{
    loading_ = false;
    SLV2->setUpdatesEnabled(true);
    ProgressBar1->hide();
    unsetCursor();
    SetPanel(3, "");
}

void TfrmThumbnails::EscapePressed()
{
    StopLoad();
    if (batch_.Running()) {
        batch_.Stop();
        EndBatchDisplay();
    }
    SetPanel(1, "Stopped by user!");
}

// --- commands --------------------------------------------------------------------

void TfrmThumbnails::tbListClick()
{
    tbList->setChecked(true);
    SLV2->SetViewStyle(TViewStyle::vsList);
}

void TfrmThumbnails::tbReportClick()
{
    tbReport->setChecked(true);
    SLV2->SetViewStyle(TViewStyle::vsReport);
}

void TfrmThumbnails::tbIconClick()
{
    tbIcon->setChecked(true);
    SLV2->SetViewStyle(TViewStyle::vsIcon);
    if (Folder() != lastLoaded_ && !batch_.Running())
        LoadThumbnails();
}

void TfrmThumbnails::SizeClick(int Size)
{
    SetThumbnailSize(Size);
    for (QAction* item : pmSize->actions())
        item->setChecked(item->data().toInt() == Size);
    if (SLV2->Count() > 0 && !batch_.Running())
        LoadThumbnails();
}

void TfrmThumbnails::RefreshClick()
{
    if (!batch_.Running())
        LoadThumbnails();
}

void TfrmThumbnails::ViewImageClick()
{
    const std::string path = SelectedPath();
    if (!path.empty())
        ShowGlimpset(path, this, false);
}

void TfrmThumbnails::ImagePropertiesClick()
{
    const std::string path = SelectedPath();
    if (path.empty())
        return;
    ShowImageProperties(path);
}

void TfrmThumbnails::EXIFDataClick()
{
    const std::string path = SelectedPath();
    if (path.empty())
        return;
    ShowBeside(*frmEXIF(), this);
    frmEXIF()->ShowExifData(path);
}

void TfrmThumbnails::ShowFolder(const std::string& Folder)
{
    tbReportClick();
    STV2->SetDirectory(Folder);
    show();
    raise();
}

void TfrmThumbnails::FolderChanged(const std::string& Folder)
{
    if (!isVisible() || IncludeTrailingSlash(this->Folder()) != IncludeTrailingSlash(Folder))
        return;
    FillList();
    SortList();
    if (!batch_.Running())
        LoadThumbnails();
}

void TfrmThumbnails::showEvent(QShowEvent* Event)
{
    sortColumn_ = 0;
    sortAscending_ = true;
    QWidget::showEvent(Event);
}

void TfrmThumbnails::closeEvent(QCloseEvent* Event)
{
    StopLoad();
    if (SLV2->SelectedCount() > 0)
        SLV2->ClearSelection();
    QWidget::closeEvent(Event);
}

// --- batch save --------------------------------------------------------------------

void TfrmThumbnails::tbPixToDiskClick() { ProcessSelectedThumbnails(Folder()); }

void TfrmThumbnails::ProcessSelectedThumbnails(const std::string& Folder)
{
    const int selected = SLV2->SelectedCount();
    if (selected == 0) {
        ShowMessage("Select files to convert by clicking on them");
        return;
    }
    TfrmSaveThumbnail* dialog = frmSaveThumbnail();
    dialog->eDirPath->setText(QString::fromStdString(Folder));
    dialog->LNumSelected->setText(QString("Files to save: %1").arg(selected));
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(dialog, &QDialog::finished, this, [this, Folder, connection](int result) {
        disconnect(*connection);
        if (result == QDialog::Accepted)
            RunBatch(Folder);
    });
    dialog->open();
}

void TfrmThumbnails::RunBatch(const std::string& Folder)
{
    if (batch_.Running())
        return;
    TfrmSaveThumbnail* dialog = frmSaveThumbnail();
    const std::string outFolder = IncludeTrailingSlash(dialog->eDirPath->text().toStdString());
    std::vector<std::string> captions;
    for (int index : SLV2->SelectedIndexes())
        captions.push_back(SLV2->Row(index).Name);
    std::vector<TBatchItem> items = PlanThumbnailBatch(IncludeTrailingSlash(Folder), captions, outFolder,
                                                       dialog->ePrefix->text().toStdString(), dialog->FileType());
    std::erase_if(items, [](const TBatchItem& item) {
        return item.Exists && MessageDlg("file " + item.Target + " already exists. Replace it?",
                                         TMsgDlgType::mtConfirmation, mbYesNo) != mrYes;
    });
    SetPanel(1, std::to_string(captions.size()) + " selected...");
    ProgressBar1->setRange(0, std::max<int>(static_cast<int>(items.size()), 1));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    TThumbnailBatch::TEvents events;
    events.OnItem = [this, items, total = items.size()](int index) {
        ProgressBar1->setValue(index);
        const std::string name = QFileInfo(QString::fromStdString(items[index].Source)).fileName().toStdString();
        SetPanel(3, std::to_string(index + 1) + " of " + std::to_string(total) + " : " + name);
    };
    events.OnReadError = [](const std::string& path) { ShowMessage("Error reading " + path); };
    events.OnWriteError = [](const std::string& text) { MessageDlg(text, TMsgDlgType::mtError, mbOK); };
    events.OnDone = [this, outFolder](bool completed) { BatchFinished(completed, outFolder); };
    batch_.Start(std::move(items), dialog->ThumbSize(), kThumbListColor, std::move(events));
}

void TfrmThumbnails::BatchFinished(bool, const std::string& OutFolder)
{
    EndBatchDisplay();
    SetPanel(1, "Done processing");
    if (OutFolder == IncludeTrailingSlash(Folder())) {
        FillList();
        SortList();
        LoadThumbnails();
    }
    TThumbsHost* host = ThumbsHost();
    if (host && OutFolder == IncludeTrailingSlash(host->MainFolder()))
        host->RefillMainList();
}

void TfrmThumbnails::EndBatchDisplay()
{
    ProgressBar1->hide();
    SetPanel(3, "");
}

} // namespace lumeno
