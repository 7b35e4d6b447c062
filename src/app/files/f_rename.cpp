#include "app/files/f_rename.h"

#include "app/common/window_holder.h"
#include "app/files/small_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lumeno {

TfRename* fRename() { return HeldWindow<TfRename>(); }

TfRename::~TfRename() = default;

TfRename::TfRename(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("fRename");
    setWindowTitle("Rename File");
    lOldName = new QLabel(this);
    lOldName->setObjectName("lOldName");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lOldName);
    layout->addWidget(Edit1);
    AddOkCancel(*this, *layout);
}

void TfRename::Prepare(const std::string& Caption)
{
    lOldName->setText(QString::fromStdString(Caption));
    Edit1->setText(QString::fromStdString(Caption));
    Edit1->setFocus();
    Edit1->selectAll();
}

std::string TfRename::NewName() const { return Edit1->text().toStdString(); }

} // namespace lumeno
