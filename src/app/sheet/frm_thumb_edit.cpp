#include "app/sheet/frm_thumb_edit.h"

#include "app/common/file_types.h"
#include "app/common/list_drag.h"
#include "app/common/window_holder.h"
#include "app/sheet/frm_glimpset_options.h"
#include "app/sheet/sheet_builder.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/glimpset_form.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_save_dialog.h"
#include "platform/dialogs.h"
#include "platform/qt/window_placement.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lumeno {

TfrmThumbEdit* frmThumbEdit()
{
    return HeldWindow<TfrmThumbEdit>();
}

TfrmThumbEdit::TfrmThumbEdit(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), PGSaveDialog1([this](const QString& Folder) {
          auto* dialog = new TPGSaveDialog(this, Folder);
          dialog->setObjectName(QStringLiteral("PGSaveDialog1"));
          dialog->setWindowTitle(QStringLiteral("Save Glimpset"));
          dialog->SetOptions(ofOverwritePrompt | ofHideReadOnly | ofShareAware);
          return dialog;
      })
{
    setObjectName(QStringLiteral("frmThumbEdit"));
    setWindowTitle(QStringLiteral("Glimpset Creator"));
    setAcceptDrops(true);
    resize(760, 520);

    StatusBar1 = new TdfsStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->Panels().Add().SetWidth(160);
    StatusBar1->Panels().Add().SetText("Drag and drop files from the Thumbnail Explorer");

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAcceptDrops(false);
    ListBox1->setMaximumWidth(240);
    ListBox1->viewport()->installEventFilter(this);
    PGImage1 = new TPGImage(this);
    PGImage1->setObjectName(QStringLiteral("PGImage1"));
    PGImage1->SetCenter(true);
    CreateMenus();

    auto* body = new QHBoxLayout;
    body->addWidget(ListBox1, 1);
    body->addWidget(PGImage1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(CreateToolPanel());
    layout->addLayout(body, 1);
    layout->addWidget(StatusBar1);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TfrmThumbEdit::EscapePressed);
    builder_ = std::make_unique<TSheetBuilder>();
    builder_->OnSize = [this](int width, int height) {
        const std::string text = "Glimpset size : " + std::to_string(width) + " X " + std::to_string(height);
        SetPanel(0, text);
        // The 160 pixels were measured for a narrower font than most of ours.
        TdfsStatusPanel& panel = StatusBar1->Panels()[0];
        panel.SetWidth(std::max(panel.Width(), StatusBar1->TextWidth(QString::fromStdString(text)) + 6));
    };
    builder_->OnProcessing = [this](int number, int count) {
        SetPanel(1, "Processing " + std::to_string(number) + " of " + std::to_string(count));
    };
    builder_->OnError = [](const std::string& message) { ShowMessage(message); };
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &TfrmThumbEdit::UpdateItemCommands);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TfrmThumbEdit::ViewImage1Click);
    UpdateItemCommands();
}

TfrmThumbEdit::~TfrmThumbEdit() = default;

void TfrmThumbEdit::CreateMenus()
{
    MainMenu1 = new QMenuBar(this);
    QMenu* file = MainMenu1->addMenu(QStringLiteral("&File"));
    GenerateGlimpset1 = file->addAction(QStringLiteral("&Generate Glimpset"), this, &TfrmThumbEdit::GenerateGlimpset1Click);
    SaveAs1 = file->addAction(QStringLiteral("Save &As..."), this, &TfrmThumbEdit::SaveAs1Click);
    file->addSeparator();
    Close1 = file->addAction(QStringLiteral("&Close"), this, &QWidget::close);

    PopupMenu1 = new QMenu(this);
    ViewImage1 = PopupMenu1->addAction(QStringLiteral("View Image..."), this, &TfrmThumbEdit::ViewImage1Click);
    ImageProperties1 = PopupMenu1->addAction(QStringLiteral("Image Properties..."), this,
                                             &TfrmThumbEdit::ImageProperties1Click);
    DeleteSelectedItem1 = PopupMenu1->addAction(QStringLiteral("Delete Selected Item"), this,
                                                &TfrmThumbEdit::DeleteSelectedItem1Click);
    ClearAllItems1 = PopupMenu1->addAction(QStringLiteral("Clear All Items"), this, &TfrmThumbEdit::ClearAllItems1Click);
}

QWidget* TfrmThumbEdit::CreateToolPanel()
{
    auto* panel = new QWidget(this);
    sbKAR = new QToolButton(panel);
    sbKAR->setObjectName(QStringLiteral("sbKAR"));
    sbKAR->setText(QStringLiteral("Stretch To Fit"));
    sbKAR->setCheckable(true);
    btnSave = new QPushButton(QStringLiteral("Save to File..."), panel);
    btnOptions = new QPushButton(QStringLiteral("Options"), panel);
    btnMakeGlimpset = new QPushButton(QStringLiteral("Generate Glimpset"), panel);
    btnMakeGlimpset->setObjectName(QStringLiteral("btnMakeGlimpset"));
    connect(sbKAR, &QToolButton::toggled, this, &TfrmThumbEdit::sbKARClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmThumbEdit::SaveAs1Click);
    connect(btnOptions, &QPushButton::clicked, this, &TfrmThumbEdit::btnOptionsClick);
    connect(btnMakeGlimpset, &QPushButton::clicked, this, &TfrmThumbEdit::GenerateGlimpset1Click);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : std::initializer_list<QWidget*>{sbKAR, btnSave, btnOptions, btnMakeGlimpset})
        row->addWidget(w);
    row->addStretch(1);
    return panel;
}

void TfrmThumbEdit::UpdateItemCommands()
{
    const bool selected = !ListBox1->selectedItems().isEmpty();
    for (QAction* action : {ViewImage1, ImageProperties1, DeleteSelectedItem1})
        action->setEnabled(selected);
}

std::string TfrmThumbEdit::SelectedPath() const
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

void TfrmThumbEdit::ViewImage1Click()
{
    const std::string path = SelectedPath();
    if (!path.empty())
        ShowGlimpset(path, this, false);
}

void TfrmThumbEdit::ImageProperties1Click()
{
    const std::string path = SelectedPath();
    if (path.empty())
        return;
    ShowImageProperties(path);
}

void TfrmThumbEdit::AddFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        if (IsPictureFile(path.toStdString()))
            ListBox1->addItem(path);
}

void TfrmThumbEdit::GenerateGlimpset1Click()
{
    if (ListBox1->count() == 0) {
        ShowMessage("You must drag some images into the listbox first!");
        return;
    }
    std::vector<std::string> files;
    for (int i = 0; i < ListBox1->count(); ++i)
        files.push_back(ListBox1->item(i)->text().toStdString());
    setCursor(Qt::BusyCursor);
    try {
        builder_->Start(frmGlimpsetOptions()->Options(), files,
                        [this](std::unique_ptr<TPixelGraphic> sheet) { BuildDone(std::move(sheet)); });
    } catch (const ESheetError& e) {
        unsetCursor();
        ShowMessage(e.what());
    }
}

void TfrmThumbEdit::BuildDone(std::unique_ptr<TPixelGraphic> sheet)
{
    PGImage1->SetPixelGraphic(std::move(sheet));
    unsetCursor();
}

bool TfrmThumbEdit::Building() const
{
    return builder_->Running();
}

void TfrmThumbEdit::StopBuild()
{
    builder_->Stop();
    unsetCursor();
}

void TfrmThumbEdit::EscapePressed()
{
    if (!Building())
        return;
    StopBuild();
    SetPanel(1, "Stopped by user!");
}

void TfrmThumbEdit::SetPanel(int index, const std::string& text)
{
    StatusBar1->Panels()[index].SetText(text);
}

void TfrmThumbEdit::SaveAs1Click()
{
    if (PGImage1->GetEmpty())
        return;
    PGSaveDialog1->ExecuteAsync([this](bool accepted) {
        if (accepted)
            SaveSheet(PGSaveDialog1->GetFileName());
    });
}

void TfrmThumbEdit::SaveSheet(const std::string& fileName)
{
    try {
        PGImage1->SaveToFile(fileName);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

void TfrmThumbEdit::DeleteSelectedItem1Click()
{
    qDeleteAll(ListBox1->selectedItems());
    UpdateItemCommands();
}

void TfrmThumbEdit::ClearAllItems1Click()
{
    StopBuild();
    ListBox1->clear();
    PGImage1->SetPixelGraphic(nullptr);
    UpdateItemCommands();
}

void TfrmThumbEdit::sbKARClick()
{
    PGImage1->SetStretch(sbKAR->isChecked() ? sAlwaysKAR : sNeverKAR);
}

void TfrmThumbEdit::btnOptionsClick()
{
    ShowBeside(*frmGlimpsetOptions(), this);
}

void TfrmThumbEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (DecodeListDrag(event->mimeData()))
        event->acceptProposedAction();
}

bool TfrmThumbEdit::ListDragDrop(const QMimeData* data)
{
    const std::optional<TListDrag> drag = DecodeListDrag(data);
    if (drag)
        AddFiles(drag->Paths());
    return drag.has_value();
}

void TfrmThumbEdit::dropEvent(QDropEvent* event)
{
    if (ListDragDrop(event->mimeData()))
        event->acceptProposedAction();
}

void TfrmThumbEdit::hideEvent(QHideEvent* event)
{
    // Minimising is a spontaneous hide: the build goes on.
    if (!event->spontaneous())
        StopBuild();
    if (TfrmGlimpsetOptions* options = MadeWindow<TfrmGlimpsetOptions>())
        options->hide();
    QWidget::hideEvent(event);
}

bool TfrmThumbEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListBox1->viewport() && event->type() == QEvent::ContextMenu) {
        UpdateItemCommands();
        PopupMenu1->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumeno
