#pragma once
// The OK and Cancel buttons of the program's small dialogs, named OKBtn and
// CancelBtn and wired to accept and reject.

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace lumeno {

inline QDialogButtonBox* OkCancelButtons(QDialog* Dialog, QPushButton*& OKBtn, QPushButton*& CancelBtn)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Dialog);
    OKBtn = buttons->button(QDialogButtonBox::Ok);
    CancelBtn = buttons->button(QDialogButtonBox::Cancel);
    OKBtn->setObjectName("OKBtn");
    CancelBtn->setObjectName("CancelBtn");
    QObject::connect(buttons, &QDialogButtonBox::accepted, Dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, Dialog, &QDialog::reject);
    return buttons;
}

} // namespace lumeno
