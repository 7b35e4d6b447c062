#include "app/editor/frm_red_eye_reduction.h"

#include "app/editor/dialog_parts.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace lumeno {

TfrmRedEyeReduction::TfrmRedEyeReduction(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::WindowStaysOnTopHint), FSelection(std::make_unique<TPixelGraphic>())
{
    setObjectName("frmRedEyeReduction");
    setWindowTitle(tr("Red Eye Reduction"));
    auto* layout = new QVBoxLayout(this);
    PGRedEye = new TPGImage(this);
    PGRedEye->setObjectName("PGRedEye");
    PGRedEye->SetCenter(true);
    PGRedEye->SetStretch(sAlwaysKAR);
    PGRedEye->SetReadWarningAction(pgwaIgnore);
    PGRedEye->setMinimumSize(240, 200);
    layout->addWidget(PGRedEye, 1);
    layout->addWidget(new QLabel(tr("Red Eye Reduction Amount"), this));
    auto* row = new QGridLayout;
    tbReductionAmount = new QSlider(Qt::Horizontal, this);
    tbReductionAmount->setObjectName("tbReductionAmount");
    tbReductionAmount->setRange(-50, 80);
    tbReductionAmount->setValue(0);
    row->addWidget(tbReductionAmount, 0, 0, 1, 2);
    row->addWidget(new QLabel(tr("Min"), this), 1, 0, Qt::AlignLeft);
    row->addWidget(new QLabel(tr("Max"), this), 1, 1, Qt::AlignRight);
    layout->addLayout(row);
    AddOkCancel(this, layout);
    connect(tbReductionAmount, &QSlider::valueChanged, this, &TfrmRedEyeReduction::tbReductionAmountChange);
}

TfrmRedEyeReduction::~TfrmRedEyeReduction() = default;

void TfrmRedEyeReduction::Prepare(TPixelGraphic& Source, int Left, int Top, int Width, int Height)
{
    FLeft = Left;
    FTop = Top;
    FSelection->SetDimensions(Width, Height, pf24Bit);
    FSelection->CopyRect(0, 0, Width, Height, Left, Top, Source);
    const QSignalBlocker block(tbReductionAmount);
    tbReductionAmount->setValue(0);
    Thresholds = TRedEyeThresholds::FromPosition(0);
    ApplyReduction();
}

void TfrmRedEyeReduction::ApplyReduction()
{
    PGRedEye->AssignPixelGraphic(FSelection.get());
    if (TPixelGraphic* image = PGRedEye->GetPixelGraphic())
        ReduceRedEye(*image, Thresholds);
    PGRedEye->Invalidate();
}

void TfrmRedEyeReduction::ApplyTo(TPixelGraphic& Target)
{
    if (TPixelGraphic* image = PGRedEye->GetPixelGraphic())
        Target.CopyRect(FLeft, FTop, image->GetWidth(), image->GetHeight(), 0, 0, *image);
}

void TfrmRedEyeReduction::tbReductionAmountChange(int Position)
{
    Thresholds = TRedEyeThresholds::FromPosition(Position);
    ApplyReduction();
}

} // namespace lumeno
