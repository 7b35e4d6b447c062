#include "imagelib/view/xxx_filter_dialog.h"

#include "imagelib/pg_messages.h"

#include <algorithm>

namespace lumeno {

namespace {

void PercentSlider(TFilterSlider& Slider)
{
    Slider.Used = true;
    Slider.Min = -100;
    Slider.Max = 100;
    Slider.Frequency = 10;
    Slider.CaptionWidth = 14;
    Slider.ValueWidth = 32;
}

} // namespace

TXXXFilterDialog::TXXXFilterDialog(QObject* Owner, int ATitleId, std::array<int, 3> ACaptionIds,
                                   bool AHueFirst)
    : TPreviewFilterDialog(Owner), FTitleId(ATitleId), FCaptionIds(ACaptionIds), FHueFirst(AHueFirst)
{
    HasPreview = true;
    for (int n = 1; n <= 3; ++n)
        PercentSlider(Slider(n));
    if (FHueFirst) {
        Slider1.Min = -180;
        Slider1.Max = 180;
        Slider1.Frequency = 15;
    }
    InitTexts();
}

void TXXXFilterDialog::InitTexts()
{
    Title = GetPGLangStr(FTitleId);
    for (int n = 1; n <= 3; ++n) {
        TFilterSlider& s = Slider(n);
        s.Caption = GetPGLangStr(FCaptionIds[static_cast<std::size_t>(n - 1)]);
        s.MinText = "-100%";
        s.MidText = GetPGLangStr(82) + "0%";
        s.MaxText = "+100%";
    }
    if (FHueFirst) {
        const std::string degree = GetPGLangStr(83);
        Slider1.MinText = "-180" + degree;
        Slider1.MidText = GetPGLangStr(82) + "0" + degree;
        Slider1.MaxText = "+180" + degree;
    }
}

void TXXXFilterDialog::ApplySettings(TPGFilter& Filter) const
{
    auto& filter = static_cast<TXXXFilter&>(Filter);
    if (FHueFirst)
        FillHueTable(filter.Table1, Slider1.Position);
    else
        FillChannelTable(filter.Table1, Slider1.Position);
    FillChannelTable(filter.Table2, Slider2.Position);
    FillChannelTable(filter.Table3, Slider3.Position);
}

std::string TXXXFilterDialog::ValueText1() const
{
    return FHueFirst ? SignedValueText(Slider1.Position, GetPGLangStr(83))
                     : TPreviewFilterDialog::ValueText1();
}

void TXXXFilterDialog::SaveValues()
{
    for (int n = 1; n <= 3; ++n)
        FKept[static_cast<std::size_t>(n - 1)] = Slider(n).Position;
}

void TXXXFilterDialog::RestoreValues()
{
    for (int n = 1; n <= 3; ++n)
        Slider(n).Position = FKept[static_cast<std::size_t>(n - 1)];
}

void TXXXFilterDialog::SetChannel(int N, int Value)
{
    TFilterSlider& s = Slider(N);
    if (FHueFirst && N == 1) {
        while (Value > 180)
            Value -= 360;
        while (Value < -180)
            Value += 360;
    } else {
        Value = std::clamp(Value, s.Min, s.Max);
    }
    if (Value == s.Position)
        return;
    s.Position = Value;
    Reapply();
}

} // namespace lumeno
