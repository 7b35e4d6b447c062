#include "app/album/f_album.h"

#include "app/album/album_cell.h"
#include "app/album/album_host.h"
#include "app/album/album_preview_run.h"
#include "app/album/f_a_prefs.h"
#include "app/album/frm_edit.h"
#include "app/common/list_drag.h"
#include "app/common/window_holder.h"
#include "controls/media/font_dialog.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

namespace lumeno {

// Quarter-turn marks for the entry list: an arrow pointing up, turned.
QIcon AlbumRotationIcon(int steps)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.rotate(90.0 * steps);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.drawLine(0, 6, 0, -5);
    p.drawLine(0, -5, -4, -1);
    p.drawLine(0, -5, 4, -1);
    return QIcon(pixmap);
}

namespace {

// When a command can act (besides no preview running).
enum class TNeeds { Nothing, Selection, Viewer, Properties };

struct TCommand {
    const char* Name;
    const char* Caption;
    const char* Menu; // "File", "Edit" or nullptr (tool bar and popup only)
    QKeySequence Shortcut;
    void (TfAlbum::*Handler)();
    const char* ToolText; // nullptr: not on the tool bar
    bool Popup;
    TNeeds Needs = TNeeds::Nothing;
    const char* PopupCaption = nullptr; // the popup's own wording, where it differs
};

const std::vector<TCommand>& Commands()
{
    static const std::vector<TCommand> commands = {
        {"New1", "&New", "File", QKeySequence::New, &TfAlbum::New1Click, nullptr, false},
        {"Open1", "&Open...", "File", QKeySequence::Open, &TfAlbum::Open1Click, "Open", false},
        {"Save1", "&Save", "File", QKeySequence::Save, &TfAlbum::Save1Click, "Save", false},
        {"SaveAs1", "Save &as...", "File", {}, &TfAlbum::SaveAs1Click, nullptr, false},
        {"Preview1",
         "Preview Current Album",
         "File",
         {},
         &TfAlbum::PreviewClick,
         "Preview",
         true,
         TNeeds::Nothing,
         "Preview Album..."},
        {"ContactSheet1", "Contact Sheet", nullptr, {}, &TfAlbum::ContactSheetClick, "Contact Sheet", false},
        {"SelectPrinter1", "Select Printer...", "File", {}, &TfAlbum::SelectPrinterClick, nullptr, false},
        {"PageSetup1", "Page Setup...", "File", {}, &TfAlbum::PageSetupClick, nullptr, false},
        {"FrameSetup1", "Frame Setup...", "File", {}, &TfAlbum::FrameSetupClick, "Frame Setup", true},
        {"CaptionFont1", "Caption Font...", "File", {}, &TfAlbum::CaptionFontClick, nullptr, false},
        {"WebAlbum1", "Create Web Photo Album", nullptr, {}, &TfAlbum::WebAlbumClick, "Web Album", false},
        {"Close1", "&Close", "File", {}, &TfAlbum::CloseClick, nullptr, false},
        {"ImportAll1",
         "Import All Files",
         "Edit",
         {},
         &TfAlbum::ImportAllFilesClick,
         "Import Directory",
         false},
        {"ClearAll1",
         "Clear All Entries",
         "Edit",
         {},
         &TfAlbum::ClearAllClick,
         nullptr,
         true,
         TNeeds::Nothing,
         "Delete All"},
        {"DeleteSelection1", "Delete Selection", nullptr, QKeySequence::Delete,
         &TfAlbum::DeleteSelectionClick, nullptr, true, TNeeds::Selection},
        {"MoveUp1", "Move Up", "Edit", {}, &TfAlbum::MoveUpClick, "Up", true, TNeeds::Selection},
        {"MoveDown1", "Move Down", "Edit", {}, &TfAlbum::MoveDownClick, "Down", true, TNeeds::Selection},
        {"RotateClockwise1",
         "Rotate Clockwise",
         "Edit",
         {},
         &TfAlbum::RotateClockwiseClick,
         "Rotate Right",
         true,
         TNeeds::Selection},
        {"RotateCounterClockwise1",
         "Rotate Counter Clockwise",
         "Edit",
         {},
         &TfAlbum::RotateCounterClockwiseClick,
         "Rotate Left",
         true,
         TNeeds::Selection},
        {"EditCaption1", "Edit Caption", nullptr, QKeySequence(Qt::Key_Insert), &TfAlbum::EditCaptionClick,
         nullptr, true, TNeeds::Selection},
        {"ViewImage1", "View Image", nullptr, {}, &TfAlbum::ViewImageClick, nullptr, true, TNeeds::Viewer},
        {"ImageProperties1",
         "Image Properties",
         nullptr,
         {},
         &TfAlbum::ImagePropertiesClick,
         nullptr,
         true,
         TNeeds::Properties},
    };
    return commands;
}

} // namespace

TfAlbum* fAlbum()
{
    return HeldWindow<TfAlbum>();
}

void ShowAlbumTool(const std::string& albumFile)
{
    if (!albumFile.empty())
        fAlbum()->OpenAlbumFile(albumFile);
    fAlbum()->show();
}

TAlbumListView::TAlbumListView(QWidget* parent) : QTreeWidget(parent)
{
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

void TAlbumListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (CarriesListDrag(event->mimeData()))
        event->acceptProposedAction();
}

void TAlbumListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (CarriesListDrag(event->mimeData()))
        event->acceptProposedAction();
}

void TAlbumListView::dropEvent(QDropEvent* event)
{
    if (const auto drag = DecodeListDrag(event->mimeData())) {
        event->acceptProposedAction();
        emit ListDropped(*drag);
    }
}

TfAlbum::TfAlbum(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("fAlbum");
    setWindowTitle("Lumeno Folvio Maker");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    TTextOptions& text = PreviewPrinter1.TextOptions();
    text.HeaderFont = QFont("Times New Roman");
    text.HeaderFont.setPointSizeF(18);
    text.HeaderFont.setBold(true);
    text.BodyFont = QFont("Arial");
    text.BodyFont.setPointSizeF(9.75);
    text.FooterFont = QFont("Times New Roman");
    text.FooterFont.setPointSizeF(9.75);
    text.FooterFont.setItalic(true);
    text.PageNumFont = text.FooterFont;
    text.HeaderAlign = TAlignment::taCenter;
    text.FooterAlign = TAlignment::taCenter;
    text.PrintPageNumber = TPrintPageNumber::pnBottom;
    text.PageNumAlign = TAlignment::taRightJustify;
    text.PageNumText = "Page %d";
    PreviewPrinter1.Loaded();

    frmEdit = new TfrmEdit(this);
    FontDialog1 = new TFontDialog(this);
    connect(FontDialog1, &QFontDialog::fontSelected, this, [this](QFont font) {
        font.setPointSize(std::clamp(font.pointSize(), AlbumMinFontSize, AlbumMaxFontSize));
        captionFont_ = font;
    });
    BuildList();
    BuildStatusBar();
    BuildCommands();
    New1Click();
    resize(900, 460);
    PickFileName = [this](bool save) { return DefaultPickFileName(save); };
    ShowPreview = [](TPreviewPrinter& printer) { printer.Preview(); };
}

TfAlbum::~TfAlbum()
{
    StopPreview(false);
}

void TfAlbum::BuildList()
{
    LVAlbum = new TAlbumListView(this);
    LVAlbum->setObjectName("LVAlbum");
    LVAlbum->setHeaderLabels({"Filename", "Caption"});
    LVAlbum->setColumnWidth(0, 220);
    LVAlbum->setColumnWidth(1, 240);
    LVAlbum->setRootIsDecorated(false);
    LVAlbum->setSelectionMode(QAbstractItemView::SingleSelection);
    LVAlbum->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(LVAlbum, &TAlbumListView::ListDropped, this, &TfAlbum::AddDroppedFiles);
    connect(LVAlbum, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!PreviewRunning())
            EditCaptionClick();
    });
    connect(LVAlbum, &QTreeWidget::itemSelectionChanged, this, &TfAlbum::UpdateCommands);
    setCentralWidget(LVAlbum);
}

void TfAlbum::BuildStatusBar()
{
    PB1 = new QProgressBar(this);
    PB1->setObjectName("PB1");
    PB1->setTextVisible(false);
    PB1->setMaximumWidth(160);
    SB1Panel0 = new QLabel(this);
    SB1Panel0->setObjectName("SB1Panel0");
    SB1Panel1 = new QLabel(this);
    SB1Panel1->setObjectName("SB1Panel1");
    SB1Panel1->setMinimumWidth(80);
    statusBar()->setObjectName("SB1");
    statusBar()->addWidget(SB1Panel0, 1);
    statusBar()->addPermanentWidget(PB1);
    statusBar()->addPermanentWidget(SB1Panel1);
}

void TfAlbum::BuildCommands()
{
    QMenu* file = menuBar()->addMenu("&File");
    QMenu* edit = menuBar()->addMenu("&Edit");
    QToolBar* tools = addToolBar("Tools");
    tools->setObjectName("ToolBar1");
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const TCommand& c : Commands()) {
        auto* action = new QAction(c.Caption, this);
        action->setObjectName(c.Name);
        action->setShortcut(c.Shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, h = c.Handler] { (this->*h)(); });
        if (c.Menu)
            (std::string(c.Menu) == "File" ? file : edit)->addAction(action);
        if (c.ToolText) {
            action->setIconText(c.ToolText);
            tools->addAction(action);
        }
        if (c.Popup && c.PopupCaption) {
            addAction(action);
            auto* popup = new QAction(c.PopupCaption, this);
            popup->setObjectName(QString(c.Name) + "Popup");
            connect(popup, &QAction::triggered, action, &QAction::trigger);
            connect(action, &QAction::enabledChanged, popup, &QAction::setEnabled);
            LVAlbum->addAction(popup);
        } else if (c.Popup) {
            LVAlbum->addAction(action);
        } else {
            addAction(action);
        }
        Actions[c.Name] = action;
    }
    UpdateCommands();
}

void TfAlbum::UpdateCommands()
{
    const bool idle = !PreviewRunning();
    const TAlbumHost& host = AlbumHost();
    for (const TCommand& c : Commands()) {
        bool can = true;
        switch (c.Needs) {
        case TNeeds::Selection:
            can = SelectedIndex() >= 0;
            break;
        case TNeeds::Viewer:
            can = host.CanViewImage();
            break;
        case TNeeds::Properties:
            can = host.CanShowProperties();
            break;
        case TNeeds::Nothing:
            break;
        }
        Actions.at(c.Name)->setEnabled(idle && can);
    }
    LVAlbum->setAcceptDrops(idle);
}

void TfAlbum::showEvent(QShowEvent* event)
{
    fAPrefs()->LoadSettings();
    UpdateCommands();
    QMainWindow::showEvent(event);
}

void TfAlbum::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        StopPreview();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TfAlbum::closeEvent(QCloseEvent* event)
{
    StopPreview(false);
    QMainWindow::closeEvent(event);
}

void TfAlbum::CloseClick()
{
    close();
}

} // namespace lumeno
