#include "app/editor/frm_gaussian_blur.h"

#include "app/editor/dialog_parts.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace lumeno {

TfrmGaussianBlur::TfrmGaussianBlur(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmGaussianBlur");
    setWindowTitle(tr("Gaussian Blur"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Relative Strength"), this), 0, 0, 1, 2);
    Label4 = new QLabel("3.0", this);
    Label4->setObjectName("Label4");
    grid->addWidget(Label4, 0, 2, Qt::AlignRight);
    tbStrength = new QSlider(Qt::Horizontal, this);
    tbStrength->setObjectName("tbStrength");
    tbStrength->setRange(1, 100);
    tbStrength->setValue(30);
    tbStrength->setMinimumWidth(240);
    grid->addWidget(tbStrength, 1, 0, 1, 3);
    grid->addWidget(new QLabel("0.1", this), 2, 0, Qt::AlignLeft);
    grid->addWidget(new QLabel("10", this), 2, 2, Qt::AlignRight);
    layout->addLayout(grid);
    AddOkCancel(this, layout);
    connect(tbStrength, &QSlider::valueChanged, this, &TfrmGaussianBlur::tbStrengthChange);
}

double TfrmGaussianBlur::Radius() const
{
    return tbStrength->value() * 0.1;
}

void TfrmGaussianBlur::tbStrengthChange(int Position)
{
    Label4->setText(QString::number(Position / 10.0));
}

} // namespace lumeno
