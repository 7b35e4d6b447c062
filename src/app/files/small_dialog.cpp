#include "app/files/small_dialog.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace lumeno {

void AddOkCancel(QDialog& Dialog, QBoxLayout& Layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &Dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OKBtn");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("CancelBtn");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &Dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &Dialog, &QDialog::reject);
    Layout.addWidget(buttons);
}

} // namespace lumeno
