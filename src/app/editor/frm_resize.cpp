#include "app/editor/frm_resize.h"

#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lumeno {

TfrmResize::TfrmResize(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmResize");
    setWindowTitle(tr("Resize"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    lOldWidth = new QLabel(this);
    lOldWidth->setObjectName("lOldWidth");
    lOldHeight = new QLabel(this);
    lOldHeight->setObjectName("lOldHeight");
    eNewWidth = DigitsEdit(this, "eNewWidth", "");
    eNewHeight = DigitsEdit(this, "eNewHeight", "");
    form->addRow(tr("Old width:"), lOldWidth);
    form->addRow(tr("Old height:"), lOldHeight);
    form->addRow(tr("New width:"), eNewWidth);
    form->addRow(tr("New height:"), eNewHeight);
    layout->addLayout(form);
    cbMaintainRatio = new QCheckBox(tr("Constrain Proportions"), this);
    cbMaintainRatio->setObjectName("cbMaintainRatio");
    cbMaintainRatio->setChecked(true);
    layout->addWidget(cbMaintainRatio);
    AddOkCancel(this, layout);
    connect(eNewWidth, &QLineEdit::editingFinished, this, &TfrmResize::eNewWidthExit);
    connect(eNewHeight, &QLineEdit::editingFinished, this, &TfrmResize::eNewHeightExit);
}

void TfrmResize::Prepare(int Width, int Height)
{
    FOldWidth = Width;
    FOldHeight = Height;
    lOldWidth->setText(QString::number(Width));
    lOldHeight->setText(QString::number(Height));
    eNewWidth->setText(QString::number(Width));
    eNewHeight->setText(QString::number(Height));
}

int TfrmResize::NewWidth() const
{
    return ParseInteger(eNewWidth->text().toStdString()).value_or(0);
}

int TfrmResize::NewHeight() const
{
    return ParseInteger(eNewHeight->text().toStdString()).value_or(0);
}

void TfrmResize::accept()
{
    if (NewWidth() >= 1 && NewHeight() >= 1)
        QDialog::accept();
}

void TfrmResize::eNewWidthExit()
{
    if (cbMaintainRatio->isChecked())
        eNewHeight->setText(QString::number(ProportionalSide(NewWidth(), FOldWidth, FOldHeight)));
}

void TfrmResize::eNewHeightExit()
{
    if (cbMaintainRatio->isChecked())
        eNewWidth->setText(QString::number(ProportionalSide(NewHeight(), FOldHeight, FOldWidth)));
}

} // namespace lumeno
