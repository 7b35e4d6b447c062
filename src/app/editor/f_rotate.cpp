#include "app/editor/f_rotate.h"

#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumeno {

TfRotate::TfRotate(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("fRotate");
    setWindowTitle(tr("Rotate Degrees"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    eAngle = DigitsEdit(this, "eAngle", "0");
    form->addRow(tr("Degrees:"), eAngle);
    layout->addLayout(form);
    rbClockwise = new QRadioButton(tr("Clockwise"), this);
    rbClockwise->setObjectName("rbClockwise");
    rbClockwise->setChecked(true);
    rbCounterClockwise = new QRadioButton(tr("Counter Clockwise"), this);
    rbCounterClockwise->setObjectName("rbCounterClockwise");
    layout->addWidget(rbClockwise);
    layout->addWidget(rbCounterClockwise);
    AddOkCancel(this, layout);
}

Extended TfRotate::Angle() const
{
    return DialogAngle(ParseDecimal(eAngle->text().toStdString()).value_or(0),
                       rbCounterClockwise->isChecked());
}

} // namespace lumeno
