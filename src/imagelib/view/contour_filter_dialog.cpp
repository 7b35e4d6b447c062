#include "imagelib/view/contour_filter_dialog.h"

#include "imagelib/pg_messages.h"

namespace lumeno {

TContourFilterDialog::TContourFilterDialog(QObject* Owner) : TConvFilterDialog(Owner, 79, 100, 100)
{
    FDistributionShape = dsRect;
    Slider2.Min = 100;
    Slider2.Max = 1000;
    Slider2.Frequency = 100;
    Slider2.MinText = "100%";
    Slider2.MaxText = "1000%";
    HasRadioButtons = true;
    Radio1Checked = true;
    InitTexts();
    Initialize();
}

void TContourFilterDialog::InitTexts()
{
    TConvFilterDialog::InitTexts();
    Radio1Caption = GetPGLangStr(80);
    Radio2Caption = GetPGLangStr(81);
}

void TContourFilterDialog::ApplySettings(TPGFilter& Filter) const
{
    static_cast<TConvFilter&>(Filter).SetContourKernel(
        FDistributionShape, FUseDistance, Slider1.Position / 100.0L, Slider2.Position, !GetBlackBk());
}

void TContourFilterDialog::SaveValues()
{
    TConvFilterDialog::SaveValues();
    FKeptBlackBk = GetBlackBk();
}

void TContourFilterDialog::RestoreValues()
{
    TConvFilterDialog::RestoreValues();
    SetBlackBk(FKeptBlackBk);
}

void TContourFilterDialog::SetBlackBk(bool Value)
{
    Radio2Checked = Value;
    Radio1Checked = !Value;
}

} // namespace lumeno
