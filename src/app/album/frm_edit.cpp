#include "app/album/frm_edit.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace lumeno {

TfrmEdit::TfrmEdit(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName("frmEdit");
    setModal(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::Base, Qt::white);
    setPalette(p);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setFrame(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Edit1);
    connect(Edit1, &QLineEdit::returnPressed, this, [this] {
        emit Accepted(Edit1->text());
        accept();
    });
}

void TfrmEdit::Execute(const QRect& screenRect, const QString& text)
{
    setGeometry(screenRect);
    Edit1->setText(text);
    Edit1->selectAll();
    open();
    Edit1->setFocus();
}

} // namespace lumeno
