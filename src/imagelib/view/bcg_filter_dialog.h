#pragma once
// The brightness, contrast and gamma filter's dialog. Contrast and gamma
// run from 0.2 to 5 on a logarithmic slider (position 100 · log5 value).

#include "imagelib/filters/point_filters.h"
#include "imagelib/view/filter_dialog.h"

#include <array>

namespace lumeno {

class TBCGFilterDialog : public TPreviewFilterDialog {
public:
    explicit TBCGFilterDialog(QObject* Owner = nullptr);
    void InitTexts() override;
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TBCGFilter>(); }
    void ApplySettings(TPGFilter& Filter) const override;
    std::string ValueText2() const override;
    std::string ValueText3() const override;
    void SaveValues() override;
    void RestoreValues() override;
    TBCGFilter& GetFilter() const { return static_cast<TBCGFilter&>(GetFilterObject()); }

    int GetBrightness() const { return Slider1.Position; }
    void SetBrightness(int Value);
    Extended GetContrast() const { return FactorOf(Slider2.Position); }
    void SetContrast(Extended Value) { Slider2.Position = PositionOf(Value); }
    Extended GetGamma() const { return FactorOf(Slider3.Position); }
    void SetGamma(Extended Value) { Slider3.Position = PositionOf(Value); }
    bool GetUseY() const { return Radio2Checked; }
    void SetUseY(bool Value);

    // 5 ^ (Position / 100), rounded to two decimals.
    static Extended FactorOf(int Position);
    // The slider position of a factor, clamped to 0.2..5 first.
    static int PositionOf(Extended Factor);

private:
    std::array<int, 3> FKept{};
    bool FKeptUseY = false;
};

} // namespace lumeno
