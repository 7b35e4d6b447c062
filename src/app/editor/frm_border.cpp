#include "app/editor/frm_border.h"

#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"
#include "app/effects/gdi_draw.h"

#include <QColorDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumeno {

TfrmBorder::TfrmBorder(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmBorder");
    setWindowTitle(tr("Border Options"));
    auto* layout = new QVBoxLayout(this);
    auto* rgShape = new QGroupBox(tr("Shape"), this);
    rgShape->setObjectName("rgShape");
    auto* shapes = new QVBoxLayout(rgShape);
    rbRectangle = new QRadioButton(tr("Rectangle"), rgShape);
    rbRectangle->setChecked(true);
    rbEllipse = new QRadioButton(tr("Ellipse"), rgShape);
    shapes->addWidget(rbRectangle);
    shapes->addWidget(rbEllipse);
    layout->addWidget(rgShape);
    auto* form = new QFormLayout;
    eWidth = DigitsEdit(this, "eWidth", "20");
    form->addRow(tr("Width (pixels)"), eWidth);
    pColor = new QPushButton(this);
    pColor->setObjectName("pColor");
    pColor->setMinimumHeight(24);
    form->addRow(tr("Color"), pColor);
    layout->addLayout(form);
    AddOkCancel(this, layout);
    SetColor(FColor);
    connect(pColor, &QPushButton::clicked, this, &TfrmBorder::pColorClick);
}

bool TfrmBorder::Elliptic() const
{
    return rbEllipse->isChecked();
}

int TfrmBorder::BorderWidth() const
{
    return ParseInteger(eWidth->text().toStdString()).value_or(0);
}

void TfrmBorder::SetColor(TColor Color)
{
    FColor = Color;
    pColor->setStyleSheet(QString("background-color: %1").arg(ToQColor(Color).name()));
}

void TfrmBorder::pColorClick()
{
    auto* dialog = new QColorDialog(ToQColor(FColor), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this,
            [this](const QColor& c) { SetColor(RGB(c.red(), c.green(), c.blue())); });
    dialog->open();
}

} // namespace lumeno
