#include "app/viewer/bm_edit.h"

#include "app/common/window_holder.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumeno {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TfBMEdit* fBMEdit()
{
    return HeldWindow<TfBMEdit>();
}

TfBMEdit::~TfBMEdit() = default;

TfBMEdit::TfBMEdit(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("fBMEdit");
    setWindowTitle("Edit Bookmarks");
    setModal(true);
    resize(390, 273);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    OKBtn = Button(this, "OKBtn", "OK");
    CancelBtn = Button(this, "CancelBtn", "Cancel");
    UpBtn = Button(this, "UpBtn", "Up");
    DownBtn = Button(this, "DownBtn", "Down");
    DeleteBtn = Button(this, "DeleteBtn", "Delete");
    OKBtn->setDefault(true);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {OKBtn, CancelBtn, UpBtn, DownBtn, DeleteBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(ListBox1, 1);
    row->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(UpBtn, &QPushButton::clicked, this, &TfBMEdit::UpClick);
    connect(DownBtn, &QPushButton::clicked, this, &TfBMEdit::DownClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TfBMEdit::DeleteClick);
}

void TfBMEdit::SetEntries(const std::vector<std::string>& Folders)
{
    ListBox1->clear();
    for (const std::string& folder : Folders) {
        // The text is for showing; the bytes go back to the file as read.
        auto* item = new QListWidgetItem(QString::fromStdString(folder), ListBox1);
        item->setData(Qt::UserRole, QByteArray::fromStdString(folder));
    }
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
}

std::vector<std::string> TfBMEdit::Entries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < ListBox1->count(); ++i)
        entries.push_back(ListBox1->item(i)->data(Qt::UserRole).toByteArray().toStdString());
    return entries;
}

void TfBMEdit::MoveSelected(int By)
{
    const int from = ListBox1->currentRow();
    const int to = from + By;
    if (from < 0 || to < 0 || to >= ListBox1->count())
        return;
    ListBox1->insertItem(to, ListBox1->takeItem(from));
    ListBox1->setCurrentRow(to);
}

void TfBMEdit::UpClick()
{
    MoveSelected(-1);
}

void TfBMEdit::DownClick()
{
    MoveSelected(1);
}

void TfBMEdit::DeleteClick()
{
    const int row = ListBox1->currentRow();
    if (row < 0)
        return;
    delete ListBox1->takeItem(row);
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
}

} // namespace lumeno
