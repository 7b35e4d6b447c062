// The file mover's window: building it, its list, and the preview pane.

#include "app/files/f_select_files.h"

#include "app/common/file_operations.h"
#include "app/common/file_rows.h"
#include "app/common/file_types.h"
#include "app/common/view_fit.h"
#include "app/common/window_holder.h"
#include "app/files/files_host.h"
#include "controls/media/aled.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/gif_image.h"
#include "controls/shell/change_notify.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/file_utils.h"
#include "controls/shell/system_tree_view.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumeno {

namespace {

constexpr int PreviewBox = 145;
constexpr const char* AllImagesMask = "*.jpg;*.gif;*.bmp;*.ico;*.wmf;*.avi;*.pcx;*.png;*.tga;*.tif;";

} // namespace

TfSelectFiles* fSelectFiles() { return HeldWindow<TfSelectFiles>(); }

TfSelectFiles::TfSelectFiles(QWidget* Parent) : QWidget(Parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("fSelectFiles");
    setWindowTitle("File Manager");
    resize(900, 560);

    STV4 = new TdfsSystemTreeView(this);
    STV4->setObjectName("STV4");
    SLV4 = new QTreeWidget(this);
    SLV4->setObjectName("SLV4");
    SLV4->setColumnCount(4);
    SLV4->setHeaderLabels({"Name", "Size (KB)", "Type", "Modified"});
    SLV4->setRootIsDecorated(false);
    SLV4->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SLV4->setSelectionBehavior(QAbstractItemView::SelectRows);
    SLV4->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SLV4->setContextMenuPolicy(Qt::CustomContextMenu);
    SLV4->header()->setSectionsClickable(true);
    SLV4->setColumnWidth(0, 150);
    SLV4->setColumnWidth(1, 70);
    SLV4->setColumnWidth(2, 45);

    ChangeNotify1 = std::make_unique<TChangeNotify>();
    ChangeNotify1->SetWatchFor({noSize});
    ChangeNotify1->OnChange = [this](TObject*) { ChangeNotify1Change(); };
    FHeldChange.setSingleShot(true);
    FHeldChange.setInterval(100);
    connect(&FHeldChange, &QTimer::timeout, this, &TfSelectFiles::ChangeNotify1Change);

    BuildToolBar();
    BuildPopups();
    BuildPreview();
    BuildStatusBar();

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(STV4);
    split->addWidget(SLV4);
    split->addWidget(pnlPreview->parentWidget());
    split->setStretchFactor(1, 1);
    split->setSizes({200, 470, 290});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(split, 1);
    layout->addWidget(StatusBar1);

    connect(STV4, &TdfsCustomSystemTreeView::OnChange, this, [this](QTreeWidgetItem*) {
        if (!FSettingFolder)
            STV4Change(STV4->Selection());
    });
    connect(SLV4, &QTreeWidget::itemSelectionChanged, this, &TfSelectFiles::SLV4Change);
    connect(SLV4, &QTreeWidget::itemDoubleClicked, this, [this] { LargeViewClick(); });
    connect(SLV4->header(), &QHeaderView::sectionClicked, this, &TfSelectFiles::SLV4ColumnClick);
    connect(SLV4, &QWidget::customContextMenuRequested, this, [this](const QPoint& Pos) {
        PopupMenu1Popup();
        PopupMenu1->popup(SLV4->viewport()->mapToGlobal(Pos));
    });
    connect(AutoUpdate, &QCheckBox::clicked, this, &TfSelectFiles::AutoUpdateClick);
}

TfSelectFiles::~TfSelectFiles()
{
    ChangeNotify1->SetEnabled(false);
}

void TfSelectFiles::BuildPreview()
{
    auto* side = new QWidget(this);
    pnlPreview = new QFrame(side);
    pnlPreview->setObjectName("pnlPreview");
    pnlPreview->setFrameShape(QFrame::StyledPanel);
    pnlPreview->setMinimumSize(PreviewBox + 8, PreviewBox + 8);
    Image1 = new QLabel(pnlPreview);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    GIFImage1 = new TGIFImage(pnlPreview);
    GIFImage1->setObjectName("GIFImage1");
    GIFImage1->SetCenter(true);
    GIFImage1->SetStretch(true);
    AVIPlay1 = new TDCAVIPlay(pnlPreview);
    AVIPlay1->setObjectName("AVIPlay1");
    // Sized into the preview box, never to the clip's own frame.
    AVIPlay1->SetAutoSize(false);
    AVIPlay1->SetStretch(true);
    AVIPlay1->SetColor(Qt::black);
    PGImage1 = new TPGImage(pnlPreview);
    PGImage1->setObjectName("PGImage1");
    PGImage1->SetCenter(true);
    PGImage1->SetStretch(sAlwaysKAR);
    HideViewers();

    pnlName = new QLabel(side);
    pnlName->setObjectName("pnlName");
    pnlName->setAlignment(Qt::AlignCenter);
    AutoPreview = new QCheckBox("Auto Preview", side);
    AutoPreview->setObjectName("AutoPreview");
    AutoPreview->setChecked(true);
    AutoUpdate = new QCheckBox("Auto Update", side);
    AutoUpdate->setObjectName("AutoUpdate");
    btnHelp = new QPushButton("Help", side);
    btnHelp->setObjectName("btnHelp");
    connect(btnHelp, &QPushButton::clicked, this, &TfSelectFiles::btnHelpClick);

    auto* checks = new QHBoxLayout;
    checks->addWidget(AutoPreview);
    checks->addWidget(AutoUpdate);
    checks->addStretch(1);
    checks->addWidget(btnHelp);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(pnlPreview, 1);
    layout->addWidget(pnlName);
    layout->addLayout(checks);
}

void TfSelectFiles::BuildStatusBar()
{
    StatusBar1 = new TdfsStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    const int widths[] = {25, 80, 60, 50};
    for (int i = 0; i < 4; ++i) {
        TdfsStatusPanel& panel = StatusBar1->Panels().Add();
        panel.SetWidth(widths[i]);
        if (i == 1 || i == 2)
            panel.SetAlignment(taCenter);
    }
    ALed1 = new TALed(StatusBar1);
    ALed1->setObjectName("ALed1");
    ALed1->SetTrueColor(clRed);
    ALed1->SetFalseColor(clMaroon);
    ALed1->SetBlink(false);
}

void TfSelectFiles::PlaceLed()
{
    const QRect panel = StatusBar1->PanelRect(0);
    const int side = std::min(panel.width(), panel.height()) - 4;
    if (side > 0)
        ALed1->setGeometry(panel.center().x() - side / 2, panel.center().y() - side / 2, side, side);
}

void TfSelectFiles::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    PlaceLed();
}

std::string TfSelectFiles::MainMask() const
{
    TFilesHost* host = FilesHost();
    return host ? host->MainMask() : AllImagesMask;
}

std::vector<std::string> TfSelectFiles::Captions() const
{
    std::vector<std::string> captions;
    for (int i = 0; i < SLV4->topLevelItemCount(); ++i)
        captions.push_back(SLV4->topLevelItem(i)->text(0).toStdString());
    return captions;
}

std::vector<std::string> TfSelectFiles::SelectedCaptions() const
{
    std::vector<std::string> captions;
    for (int i = 0; i < SLV4->topLevelItemCount(); ++i)
        if (SLV4->topLevelItem(i)->isSelected())
            captions.push_back(SLV4->topLevelItem(i)->text(0).toStdString());
    return captions;
}

void TfSelectFiles::SelectCaptions(const std::vector<std::string>& Wanted)
{
    SLV4->clearSelection();
    const std::set<std::string> wanted(Wanted.begin(), Wanted.end());
    QTreeWidgetItem* last = nullptr;
    for (int i = 0; i < SLV4->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = SLV4->topLevelItem(i);
        if (wanted.count(item->text(0).toStdString())) {
            item->setSelected(true);
            last = item;
        }
    }
    if (last) {
        SLV4->setCurrentItem(last, 0, QItemSelectionModel::NoUpdate);
        SLV4->scrollToItem(last);
    }
}

int TfSelectFiles::SingleSelected(std::string& Caption) const
{
    const std::vector<std::string> selected = SelectedCaptions();
    if (selected.size() == 1)
        Caption = selected.front();
    return static_cast<int>(selected.size());
}

void TfSelectFiles::FillSLV4()
{
    const std::vector<TFileRow> rows = ListFolderFiles(FSourceFolder, MainMask());
    const QSignalBlocker quiet(SLV4);
    SLV4->clear();
    QList<QTreeWidgetItem*> items;
    for (const int index : SortOrder(rows, FSortColumn, FAscending)) {
        const TFileRow& row = rows[std::size_t(index)];
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(row.Name));
        item->setText(1, QString::number(row.SizeKB));
        item->setText(2, QString::fromStdString(row.Type));
        item->setText(3, QString::fromStdString(FileTimeText(row.Time)));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    SLV4->addTopLevelItems(items);
    StatusBar1->Panels()[1].SetText(std::to_string(rows.size()) + " files");
}

void TfSelectFiles::RebuildNameList() { FNameList = NameListOf(FSourceFolder, MainMask()); }

void TfSelectFiles::HideViewers()
{
    AVIPlay1->SetActive(false);
    AVIPlay1->hide();
    GIFImage1->SetAnimate(false);
    GIFImage1->hide();
    Image1->hide();
    PGImage1->hide();
}

void TfSelectFiles::Preview(const std::string& Caption)
{
    const std::string path = JoinPath(FSourceFolder, Caption);
    StatusBar1->Panels()[2].SetText(SizeText(GetFileSizeByName(path)));
    ALed1->SetValue(true);
    pnlName->setText("Loading...");
    pnlName->repaint();
    try {
        ShowPreview(path);
    } catch (const std::exception&) {
        Tell("Error reading image file");
    }
    ALed1->SetValue(false);
    pnlName->setText(QString::fromStdString(Caption));
}

void TfSelectFiles::ShowPreview(const std::string& Path)
{
    AVIPlay1->Stop();
    AVIPlay1->Close();
    HideViewers();
    const TFileType type = FileTypeOf(Path);
    FExtension = FileTypeName(type);
    const int paneW = pnlPreview->width(), paneH = pnlPreview->height();
    QSize shown;
    QWidget* viewer = nullptr;
    if (type == TFileType::ftAVI) {
        AVIPlay1->SetFileName(QString::fromStdString(Path));
        AVIPlay1->setGeometry(QRect(QPoint(4, 4), ShrinkAviSize({AVIPlay1->FrameWidth(), AVIPlay1->FrameHeight()})));
        shown = {AVIPlay1->FrameWidth(), AVIPlay1->FrameHeight()};
        viewer = AVIPlay1;
    } else if (type == TFileType::ftGIF) {
        GIFImage1->setGeometry(4, 4, PreviewBox, PreviewBox);
        GIFImage1->LoadFromFile(Path);
        shown = GIFImage1->PictureSize();
        const TPreviewSize fit = PreviewFit(paneW, paneH, shown.width(), shown.height());
        GIFImage1->setGeometry(4, 4, fit.Width, fit.Height);
        viewer = GIFImage1;
    } else if (type == TFileType::ftWMF || type == TFileType::ftICO) {
        Image1->setGeometry(4, 4, PreviewBox, PreviewBox);
        TPixelGraphic picture;
        picture.LoadFromFile(Path);
        QImage image;
        picture.AssignToGraphic(image);
        Image1->setPixmap(QPixmap::fromImage(image));
        shown = image.size();
        const TPreviewSize fit = PreviewFit(paneW, paneH, shown.width(), shown.height());
        Image1->setGeometry(4, 4, fit.Width, fit.Height);
        viewer = Image1;
    } else {
        PGImage1->setGeometry(4, 4, std::max(paneW - 8, 1), std::max(paneH - 8, 1));
        PGImage1->LoadFromFile(Path);
        shown = {PGImage1->GetPixelGraphicWidth(), PGImage1->GetPixelGraphicHeight()};
        viewer = PGImage1;
    }
    viewer->show();
    if (type == TFileType::ftAVI)
        AVIPlay1->SetActive(true);
    if (type == TFileType::ftGIF)
        GIFImage1->SetAnimate(GIFImage1->FrameCount() > 1);
    StatusBar1->Panels()[3].SetText(" (" + std::to_string(shown.width()) + " x " + std::to_string(shown.height()) +
                                    ")");
}

} // namespace lumeno
