#include "app/files/frm_inc_rename.h"

#include "app/common/file_operations.h"
#include "app/common/file_types.h"
#include "app/common/help.h"
#include "app/common/list_drag.h"
#include "app/common/window_holder.h"
#include "app/files/files_host.h"
#include "app/files/inc_rename.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"
#include "platform/qt/window_placement.h"

#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace lumeno {

TfrmIncRename* frmIncRename() { return HeldWindow<TfrmIncRename>(); }

TfrmIncRename::~TfrmIncRename() = default;

TfrmIncRename::TfrmIncRename(QWidget* Parent) : QWidget(Parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("frmIncRename");
    setWindowTitle("Incremental File Rename");
    resize(460, 360);

    lbRenameFiles = new QListWidget(this);
    lbRenameFiles->setObjectName("lbRenameFiles");
    lbRenameFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbRenameFiles->setAcceptDrops(true);
    lbRenameFiles->viewport()->setAcceptDrops(true);
    lbRenameFiles->viewport()->installEventFilter(this);
    lbRenameFiles->setContextMenuPolicy(Qt::CustomContextMenu);

    txtNewName = new QLineEdit("NewName", this);
    txtNewName->setObjectName("txtNewName");
    txtNumber = new QLineEdit("001", this);
    txtNumber->setObjectName("txtNumber");
    txtNumber->setMaxLength(5);
    txtNumber->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), txtNumber));
    txtNumber->setMaximumWidth(80);
    auto* fields = new QFormLayout;
    fields->addRow("New name:", txtNewName);
    fields->addRow("Start number:", txtNumber);

    btnRename = new QPushButton("Rename", this);
    btnRename->setObjectName("btnRename");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnHelp = new QPushButton("Help", this);
    btnHelp->setObjectName("btnHelp");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch(1);
    buttons->addWidget(btnRename);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbRenameFiles, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    BuildPopup();
    connect(btnRename, &QPushButton::clicked, this, &TfrmIncRename::RenameClick);
    connect(btnCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(btnHelp, &QPushButton::clicked, this, [] { ShowHelp(hcIncrementalRename); });
}

void TfrmIncRename::BuildPopup()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    connect(PopupMenu1->addAction("Clear All"), &QAction::triggered, this, &TfrmIncRename::ClearAll);
    connect(PopupMenu1->addAction("Delete Selected"), &QAction::triggered, this, &TfrmIncRename::DeleteSelected);
    connect(PopupMenu1->addAction("Import Current Directory"), &QAction::triggered, this,
            &TfrmIncRename::ImportCurrentDirectory);
    connect(PopupMenu1->addAction("Close"), &QAction::triggered, this, &QWidget::close);
    connect(lbRenameFiles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& Pos) { PopupMenu1->popup(lbRenameFiles->viewport()->mapToGlobal(Pos)); });
}

bool TfrmIncRename::eventFilter(QObject* Watched, QEvent* Event)
{
    const QEvent::Type type = Event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(Event);
        if (CarriesListDrag(drag->mimeData())) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(Event);
        drop->acceptProposedAction();
        DropFiles(drop->mimeData());
        return true;
    }
    return QWidget::eventFilter(Watched, Event);
}

std::vector<std::string> TfrmIncRename::Entries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < lbRenameFiles->count(); ++i)
        entries.push_back(lbRenameFiles->item(i)->text().toStdString());
    return entries;
}

void TfrmIncRename::AddEntry(const std::string& Path) { lbRenameFiles->addItem(QString::fromStdString(Path)); }

void TfrmIncRename::OpenFromMainWindow(const QWidget* MainWindow)
{
    lbRenameFiles->clear();
    TFilesHost* host = FilesHost();
    const std::string folder = host ? host->TreeFolder() : std::string();
    if (!folder.empty()) {
        const std::vector<std::string> selected = host->SelectedCaptions();
        if (selected.size() > 1)
            for (const std::string& caption : selected)
                AddEntry(JoinPath(folder, caption));
    }
    ShowBeside(*this, MainWindow);
}

void TfrmIncRename::DropFiles(const QMimeData* Data)
{
    const std::optional<TListDrag> drag = DecodeListDrag(Data);
    if (!drag)
        return;
    for (const QString& path : drag->Paths())
        if (IsPictureFile(path.toStdString()))
            AddEntry(path.toStdString());
}

void TfrmIncRename::ImportCurrentDirectory()
{
    TFilesHost* host = FilesHost();
    const std::string folder = host ? host->TreeFolder() : std::string();
    if (folder.empty())
        return;
    for (const std::string& caption : host->ListCaptions())
        AddEntry(JoinPath(folder, caption));
}

void TfrmIncRename::DeleteSelected() { qDeleteAll(lbRenameFiles->selectedItems()); }

void TfrmIncRename::ClearAll() { lbRenameFiles->clear(); }

void TfrmIncRename::RenameClick()
{
    const std::vector<std::string> entries = Entries();
    if (entries.empty())
        return;
    const std::string start = txtNumber->text().toStdString();
    if (start.empty()) {
        ShowMessage("Enter a start number");
        return;
    }
    if (MessageDlg("Ready to rename " + std::to_string(entries.size()) + " files.  Proceed?",
                   TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return;
    std::vector<std::string> renamed;
    {
        TWaitCursor wait;
        renamed = RunIncRename(entries, txtNewName->text().toStdString(), start);
    }
    for (int i = 0; i < static_cast<int>(renamed.size()); ++i)
        lbRenameFiles->item(i)->setText(QString::fromStdString(renamed[static_cast<std::size_t>(i)]));
    if (TFilesHost* host = FilesHost())
        host->Update1Click();
}

} // namespace lumeno
