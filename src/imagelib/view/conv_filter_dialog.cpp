#include "imagelib/view/conv_filter_dialog.h"

#include "imagelib/pg_messages.h"

#include <algorithm>

namespace lumeno {

TConvFilterDialog::TConvFilterDialog(QObject* Owner, int ATitleId, int Position1, int Position2)
    : TFilterDialog(Owner), FTitleId(ATitleId)
{
    for (int n = 1; n <= 2; ++n) {
        TFilterSlider& s = Slider(n);
        s.Used = true;
        s.Frequency = 10;
        s.CaptionWidth = 75;
        s.ValueWidth = 32;
        s.Neutral = s.Position = n == 1 ? Position1 : Position2;
    }
    SetSlider1Range(0.4L, 1.3L);
    Slider2.Min = 10;
    Slider2.Max = 100;
    Slider2.MinText = "10%";
    Slider2.MaxText = "100%";
    InitTexts();
}

void TConvFilterDialog::SetSlider1Range(Extended Min, Extended Max)
{
    Slider1.Min = static_cast<int>(Round(Min * 100));
    Slider1.Max = static_cast<int>(Round(Max * 100));
    Slider1.MinText = TwoDecimalsText(Min);
    Slider1.MaxText = TwoDecimalsText(Max);
}

void TConvFilterDialog::InitTexts()
{
    Title = GetPGLangStr(FTitleId);
    Slider1.Caption = GetPGLangStr(72);
    Slider2.Caption = GetPGLangStr(73);
}

std::string TConvFilterDialog::ValueText1() const
{
    return TwoDecimalsText(Slider1.Position / 100.0L);
}

std::string TConvFilterDialog::ValueText2() const
{
    return std::to_string(Slider2.Position) + "%";
}

void TConvFilterDialog::SaveValues()
{
    FKept = {Slider1.Position, Slider2.Position};
}

void TConvFilterDialog::RestoreValues()
{
    Slider1.Position = FKept[0];
    Slider2.Position = FKept[1];
}

void TConvFilterDialog::SetStdDeviation(Extended Value)
{
    Slider1.Position = static_cast<int>(Round(std::clamp(Value, 0.4L, 1.3L) * 100));
}

void TConvFilterDialog::SetPercent(int Value)
{
    Slider2.Position = std::clamp(Value, Slider2.Min, Slider2.Max);
}

void TConvFilterDialog::SetDistributionShape(TDistributionShape Value)
{
    if (Value != FDistributionShape) {
        FDistributionShape = Value;
        Reapply();
    }
}

void TConvFilterDialog::SetUseDistance(bool Value)
{
    if (Value != FUseDistance) {
        FUseDistance = Value;
        Reapply();
    }
}

} // namespace lumeno
