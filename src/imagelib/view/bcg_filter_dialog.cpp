#include "imagelib/view/bcg_filter_dialog.h"

#include "imagelib/pg_messages.h"

#include <algorithm>
#include <cmath>

namespace lumeno {

TBCGFilterDialog::TBCGFilterDialog(QObject* Owner) : TPreviewFilterDialog(Owner)
{
    HasPreview = true;
    HasRadioButtons = true;
    Radio1Checked = true;
    for (int n = 1; n <= 3; ++n) {
        TFilterSlider& s = Slider(n);
        s.Used = true;
        s.Min = -100;
        s.Max = 100;
        s.Frequency = n == 1 ? 10 : 100;
        s.CaptionWidth = 55;
        s.ValueWidth = 32;
    }
    InitTexts();
    Initialize();
}

void TBCGFilterDialog::InitTexts()
{
    Title = GetPGLangStr(69);
    Slider1.Caption = GetPGLangStr(66);
    Slider1.MinText = "-100%";
    Slider1.MidText = GetPGLangStr(82) + "0%";
    Slider1.MaxText = "+100%";
    Slider2.Caption = GetPGLangStr(67);
    Slider3.Caption = GetPGLangStr(63);
    for (TFilterSlider* s : {&Slider2, &Slider3}) {
        s->MinText = "0.20";
        s->MidText = "1.00";
        s->MaxText = "5.00";
    }
    Note = GetPGLangStr(68);
    Radio1Caption = GetPGLangStr(64);
    Radio2Caption = GetPGLangStr(65);
}

Extended TBCGFilterDialog::FactorOf(int Position)
{
    return std::nearbyint(std::pow(5.0L, Position / 100.0L) * 100) / 100;
}

int TBCGFilterDialog::PositionOf(Extended Factor)
{
    const Extended clamped = std::clamp(Factor, 0.2L, 5.0L);
    return std::clamp(static_cast<int>(Round(std::log(clamped) / std::log(5.0L) * 100)), -100, 100);
}

void TBCGFilterDialog::ApplySettings(TPGFilter& Filter) const
{
    auto& filter = static_cast<TBCGFilter&>(Filter);
    filter.Brightness = Slider1.Position;
    filter.Contrast = std::pow(5.0L, Slider2.Position / 100.0L);
    filter.Gamma = std::pow(5.0L, Slider3.Position / 100.0L);
    filter.UseY = Radio2Checked;
}

std::string TBCGFilterDialog::ValueText2() const
{
    return TwoDecimalsText(FactorOf(Slider2.Position));
}

std::string TBCGFilterDialog::ValueText3() const
{
    return TwoDecimalsText(FactorOf(Slider3.Position));
}

void TBCGFilterDialog::SaveValues()
{
    for (int n = 1; n <= 3; ++n)
        FKept[static_cast<std::size_t>(n - 1)] = Slider(n).Position;
    FKeptUseY = Radio2Checked;
}

void TBCGFilterDialog::RestoreValues()
{
    for (int n = 1; n <= 3; ++n)
        Slider(n).Position = FKept[static_cast<std::size_t>(n - 1)];
    SetUseY(FKeptUseY);
}

void TBCGFilterDialog::SetBrightness(int Value)
{
    Slider1.Position = std::clamp(Value, -100, 100);
}

void TBCGFilterDialog::SetUseY(bool Value)
{
    Radio2Checked = Value;
    Radio1Checked = !Value;
}

} // namespace lumeno
