#include "app/files/f_dir_add.h"

#include "app/common/file_operations.h"
#include "app/common/window_holder.h"
#include "app/files/small_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lumeno {

TfDirAdd* fDirAdd() { return HeldWindow<TfDirAdd>(); }

TfDirAdd::~TfDirAdd() = default;

TfDirAdd::TfDirAdd(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("fDirAdd");
    setWindowTitle("Add New Folder");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    NewFolder = new QLineEdit(this);
    NewFolder->setObjectName("NewFolder");
    NewFolder->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(NewFolder);
    AddOkCancel(*this, *layout);
}

void TfDirAdd::Prepare(const std::string& Folder)
{
    Label1->setText(QString::fromStdString(JoinPath(Folder, "")));
    NewFolder->clear();
}

std::string TfDirAdd::NewFolderName() const { return NewFolder->text().toStdString(); }

void TfDirAdd::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    NewFolder->clear();
    NewFolder->setFocus();
}

} // namespace lumeno
