#include "app/viewer/main_window.h"

#include "app/common/window_holder.h"
#include "app/editor/editor_host.h"
#include "app/editor/frm_acquire.h"
#include "app/viewer/app_icon.h"
#include "app/viewer/file_list_view.h"
#include "app/viewer/first_picture.h"
#include "app/viewer/picture_box.h"
#include "app/viewer/screen_cursors.h"
#include "controls/media/aled.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/form_settings.h"
#include "controls/media/gif_image.h"
#include "controls/media/preview_printer.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/system_tree_view.h"
#include "imagelib/twain/pg_twain.h"
#include "imagelib/view/pg_image.h"
#include "platform/absolute_path.h"
#include "platform/qt/close_after_work.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumeno {

namespace {

TForm1* theForm1 = nullptr;

QWidget* NamedWidget(QWidget* parent, const char* name)
{
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    return w;
}

// The window's place as the settings give it, kept on the screens.
QRect StoredGeometry(const TSettingsStore& Settings)
{
    const QRect bounds(Settings.ReadInteger("Left"), Settings.ReadInteger("Top"), Settings.ReadInteger("Width"),
                       Settings.ReadInteger("Height"));
    QList<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return screens.isEmpty() ? bounds : KeepOnScreen(bounds, screens);
}

} // namespace

TForm1* Form1()
{
    return theForm1;
}

void CreateForm1()
{
    if (!theForm1)
        theForm1 = new TForm1;
}

void FreeForm1()
{
    delete theForm1;
}

TForm1::TForm1() : loader_(*this)
{
    setObjectName("Form1");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(603, 520);
    BuildLayout();
    FormCreate();
    InstallEditorHost();
    closeAfterWork_ = std::make_unique<TCloseAfterWork>(this);
}

TForm1::~TForm1()
{
    if (&EditorHost() == editorHost_.get())
        SetEditorHost(nullptr);
    if (theForm1 == this)
        theForm1 = nullptr;
}

void TForm1::BuildLayout()
{
    BuildCommands();
    BuildToolBar();
    BuildPanes();
    BuildViewers();
    BuildStatusBar();
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    PP1 = std::make_unique<TPreviewPrinter>();
    PP1->Orientation = TPrinterOrientation::poPortrait;
    PP1->SetUnits(TUnits::unInches);
    PP1->ZoomOption = TZoomOption::zoFitToPage;
    TTextOptions& text = PP1->TextOptions();
    text.Footer = "Lumeno Directory Report";
    text.PageNumText = "Page %d";
    text.PrintPageNumber = TPrintPageNumber::pnBottom;
    text.PageNumAlign = TAlignment::taRightJustify;
    // The design's Times New Roman and Arial, as their metric twins.
    text.HeaderFont = QFont("Liberation Serif", 12, QFont::Bold);
    text.BodyFont = QFont("Liberation Sans", 10);
    PP1->Loaded();
}

void TForm1::BuildPanes()
{
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    MainSplitter = new QSplitter(Qt::Horizontal, central);
    MainSplitter->setObjectName("Splitter2");
    MainSplitter->setChildrenCollapsible(false);
    LeftMain = NamedWidget(MainSplitter, "LeftMain");
    auto* left = new QVBoxLayout(LeftMain);
    left->setContentsMargins(4, 4, 4, 4);
    LeftSplitter = new QSplitter(Qt::Vertical, LeftMain);
    LeftSplitter->setObjectName("Splitter1");
    LeftSplitter->setChildrenCollapsible(false);
    left->addWidget(LeftSplitter);

    LeftTop = NamedWidget(LeftSplitter, "LeftTop");
    auto* top = new QVBoxLayout(LeftTop);
    top->setContentsMargins(0, 0, 0, 0);
    STV1 = new TdfsSystemTreeView(LeftTop);
    STV1->setObjectName("STV1");
    STV1->SetPopupMenuMethod(pmmUser);
    STV1->SetPopupMenu(PopupMenu2);
    top->addWidget(STV1);
    connect(STV1, &TdfsCustomSystemTreeView::OnChange, this, [this] { STV1Change(); });

    LeftBottom = NamedWidget(LeftSplitter, "LeftBottom");
    auto* bottom = new QVBoxLayout(LeftBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    auto* list = new TFileListView(LeftBottom);
    list->FolderOf = [this] { return listedFolder_; };
    list->Tag = 1;
    SLV1 = list;
    SLV1->setObjectName("SLV1");
    SLV1->setRootIsDecorated(false);
    SLV1->setUniformRowHeights(true);
    SLV1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SLV1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SLV1->setDragEnabled(true);
    SLV1->setColumnCount(4);
    SLV1->setHeaderLabels({"Name (Images)", "Size (KB)", "Type", "Modified"});
    SLV1->header()->setSectionsClickable(true);
    SLV1->header()->setSortIndicatorShown(false);
    SLV1->setColumnWidth(0, 160);
    SLV1->setColumnWidth(1, 60);
    SLV1->setColumnWidth(3, 140);
    for (int c = 1; c < 4; ++c)
        SLV1->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    SLV1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(SLV1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(SLV1->viewport()->mapToGlobal(p)); });
    connect(SLV1, &QTreeWidget::itemSelectionChanged, this, &TForm1::SLV1Change);
    connect(SLV1, &QTreeWidget::itemDoubleClicked, this, [this] { SLV1DblClick(); });
    connect(SLV1->header(), &QHeaderView::sectionClicked, this, &TForm1::SLV1ColumnClick);
    bottom->addWidget(SLV1);

    RightMain = NamedWidget(MainSplitter, "RightMain");
    RightMain->setAutoFillBackground(true);
    RightMain->setContextMenuPolicy(Qt::CustomContextMenu);
    RightMain->installEventFilter(this);
    connect(RightMain, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(RightMain->mapToGlobal(p)); });
    MainSplitter->setStretchFactor(0, 0);
    MainSplitter->setStretchFactor(1, 1);
    connect(MainSplitter, &QSplitter::splitterMoved, this,
            [this] { leftWidth_ = MainSplitter->sizes().value(0, leftWidth_); });
    connect(LeftSplitter, &QSplitter::splitterMoved, this,
            [this] { leftHeight_ = LeftSplitter->sizes().value(0, leftHeight_); });
    column->addWidget(MainSplitter, 1);
    setCentralWidget(central);
}

void TForm1::BuildViewers()
{
    Image1 = new TPictureBox(RightMain);
    Image1->setObjectName("Image1");
    GIFImage1 = new TGIFImage(RightMain);
    GIFImage1->setObjectName("GIFImage1");
    GIFImage1->SetStretch(true);
    GIFImage1->SetLoop(true);
    AVIPlay1 = new TDCAVIPlay(RightMain);
    AVIPlay1->setObjectName("AVIPlay1");
    AVIPlay1->SetAutoSize(false);
    AVIPlay1->SetStretch(true);
    AVIPlay1->SetColor(Qt::black);
    PGImage1 = new TPGImage(RightMain);
    PGImage1->setObjectName("PGImage1");
    PGImage1->setFrameShape(QFrame::NoFrame);
    PGImage1->SetStretch(sAlwaysKAR);
    PGImage1->SetUseThread(false);
    PGImage1->SetReadWarningAction(pgwaIgnore);
    for (QWidget* viewer : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(GIFImage1),
                            static_cast<QWidget*>(AVIPlay1), static_cast<QWidget*>(PGImage1)}) {
        viewer->move(4, 4);
        viewer->hide();
    }
}

void TForm1::BuildStatusBar()
{
    SB1 = new TdfsStatusBar(centralWidget());
    SB1->setObjectName("SB1");
    const int widths[] = {25, 80, 60, 250, 50};
    for (int i = 0; i < 5; ++i) {
        TdfsStatusPanel& panel = SB1->Panels().Add();
        panel.SetWidth(widths[i]);
        if (i < 3)
            panel.SetAlignment(taCenter);
    }
    centralWidget()->layout()->addWidget(SB1);
    ALed1 = new TALed(SB1);
    ALed1->setObjectName("ALed1");
    ALed1->SetTrueColor(clRed);
    ALed1->SetFalseColor(clMaroon);
    ALed1->SetBlink(false);
    ALed1->SetLEDStyle(TLEDStyle::LEDHorizontal);
    SB1->installEventFilter(this);
}

void TForm1::PlaceLamp()
{
    const QRect lamp = SB1->PanelRect(0).adjusted(2, 2, -2, -2);
    const int side = std::min(lamp.width(), lamp.height());
    ALed1->setGeometry(QRect(0, 0, side, side).translated(lamp.center() - QPoint(side / 2, side / 2)));
}

void TForm1::SetStatus(int Panel, const std::string& Text)
{
    SB1->Panels()[Panel].SetText(Text);
}

// --- create, show, close ----------------------------------------------------------

void TForm1::FormCreate()
{
    SetScreenCursor(5, MagnifierCursor());
    setAcceptDrops(true);
    setWindowIcon(QIcon(LumenoLogo(64)));
    setWindowTitle(QString(kVersionTitle) + " by Orvella Software");
    sortColumn_ = 0;
    sortAscending_ = true;
    LoadBookmarks();
    deleteMode_ = settings_.ReadDeleteMode();
    ReadGeometry();
    UpDown1->setValue(std::clamp(settings_.ReadInteger("Seconds"), 1, 60));
    confirmDeletions_ = settings_.ReadConfirmDeletions();
    const int color = settings_.ReadInteger("BG Color");
    if (color != -1)
        SetPanelColor(QColor(GetRValue(TColor(color)), GetGValue(TColor(color)), GetBValue(TColor(color))), false);
}

void TForm1::ReadGeometry()
{
    const QRect bounds = StoredGeometry(settings_);
    resize(bounds.size());
    move(bounds.topLeft());
    leftWidth_ = std::max(settings_.ReadInteger("LeftWidth"), 1);
    leftHeight_ = std::max(settings_.ReadInteger("LeftHeight"), 1);
    MainSplitter->setSizes({leftWidth_, std::max(bounds.width() - leftWidth_, 1)});
    LeftSplitter->setSizes({leftHeight_, std::max(bounds.height() - leftHeight_, 1)});
}

QSize TForm1::StoredPanelBound()
{
    const TSettingsStore settings;
    const QRect bounds = StoredGeometry(settings);
    return {std::max(bounds.width() - std::max(settings.ReadInteger("LeftWidth"), 1), 1), bounds.height()};
}

void TForm1::SetFirstPicture(std::unique_ptr<TFirstPicture> First)
{
    firstPicture_ = std::move(First);
}

void TForm1::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (!shown_)
        FormShow();
}

void TForm1::FormShow()
{
    // Only the presence of the source manager is checked; devices are looked
    // for when the editor acquires.
    if (PGTwain().TWAIN_IsAvailable()) {
        PGTwain().TWAIN_SetAppIdentity(1, 0, 0, 0, "1.0", "Lumeno by Orvella Software", "Lumeno", "Lumeno");
        if (TfrmAcquire* editor = MadeWindow<TfrmAcquire>()) {
            editor->Action("Acquire1")->setEnabled(true);
            editor->Action("Select1")->setEnabled(true);
        }
    }
    BuildFileMask();
    shown_ = true;
    OpenStartFolder();
}

void TForm1::OpenStartFolder()
{
    const auto open = [this](const std::string& folder) {
        STV1->SetSelection(folder);
        // Selecting it in the tree has usually listed it already.
        if (folder != listedFolder_) {
            FillFileList(SLV1, folder, SB1, fileMask_);
            SortFileList(SLV1);
        }
    };
    if (startFile_.empty()) {
        std::string folder = settings_.ReadString("Directory");
        if (folder == "c:\\" || folder == "C:\\")
            folder = SettingDefault("Directory");
        // A bare name would list the working folder's namesake.
        if (IsAbsolutePath(folder) && QFileInfo(QString::fromStdString(folder)).isDir())
            open(folder);
        return;
    }
    const QFileInfo start(QString::fromStdString(startFile_));
    const std::string folder = start.absolutePath().toStdString();
    open(folder);
    // The argument's own folder, even when the tree could not select it.
    ShowFile(IncludeBackslash(folder) + start.fileName().toStdString());
}

void TForm1::closeEvent(QCloseEvent* Event)
{
    FormClose();
    QMainWindow::closeEvent(Event);
}

void TForm1::FormClose()
{
    SLV1->clearSelection();
    Timer1->stop();
    AVIPlay1->SetActive(false);
    PGImage1->hide();
    WriteGeometry();
}

void TForm1::WriteGeometry()
{
    settings_.WriteInteger("LeftWidth", leftWidth_);
    settings_.WriteInteger("LeftHeight", leftHeight_);
    settings_.WriteSetting("Seconds", Seconds->text().toStdString());
    // A virtual item of the tree (the trash) has no path: keep the folder stored.
    const std::string folder = STV1->Selection();
    if (!folder.empty())
        settings_.WriteSetting("Directory", folder);
    settings_.WriteInteger("Left", pos().x());
    settings_.WriteInteger("Top", pos().y());
    settings_.WriteInteger("Width", width());
    settings_.WriteInteger("Height", height());
    if (colorChanged_) {
        const QColor c = RightMain->palette().color(QPalette::Window);
        settings_.WriteInteger("BG Color", int(RGB(c.red(), c.green(), c.blue())));
    }
}

// --- shared routines --------------------------------------------------------------

std::string TForm1::IncludeBackslash(const std::string& Path)
{
    if (!Path.empty() && Path.back() == '/')
        return Path;
    return Path + '/';
}

std::string TForm1::ReadSetting(const std::string& Key, const std::string& Name, const std::string& Default) const
{
    return TSettingsStore(Key).ReadSetting(Name, Default);
}

void TForm1::WriteSetting(const std::string& Key, const std::string& Name, const std::string& Value) const
{
    TSettingsStore(Key).WriteSetting(Name, Value);
}

bool TForm1::OneSelected(QTreeWidget* List)
{
    return List->selectedItems().size() == 1;
}

std::string TForm1::Folder() const
{
    return STV1->Selection();
}

std::string TForm1::ItemPath(const QString& Caption) const
{
    // The folder the list shows: the tree may already have moved on.
    return IncludeBackslash(listedFolder_) + Caption.toStdString();
}

void TForm1::SelectFileInList(const std::string& Path)
{
    const QFileInfo info(QString::fromStdString(Path));
    if (!info.exists())
        return;
    SLV1->clearSelection();
    const QList<QTreeWidgetItem*> found = SLV1->findItems(info.fileName(), Qt::MatchExactly, 0);
    if (found.isEmpty())
        return;
    QTreeWidgetItem* item = found.first();
    SLV1->setCurrentItem(item);
    item->setSelected(true);
    SLV1->scrollToItem(item);
    SLV1->setFocus();
}

void TForm1::Update1Click()
{
    sortColumn_ = 0;
    FillFileList(SLV1, listedFolder_, SB1, fileMask_);
    SortFileList(SLV1);
}

QAction* TForm1::Command(const char* Name) const
{
    const auto it = commands_.find(Name);
    return it == commands_.end() ? nullptr : it->second;
}

bool TForm1::eventFilter(QObject* Watched, QEvent* Event)
{
    if (KeypadZoom(Watched, Event))
        return true;
    if (Watched == RightMain && Event->type() == QEvent::Resize)
        RightMainResize();
    if (Watched == SB1 && Event->type() == QEvent::Resize)
        PlaceLamp();
    return QMainWindow::eventFilter(Watched, Event);
}

} // namespace lumeno
