#pragma once
// Base of the convolution dialogs: a standard deviation (or radius) slider
// and a strength slider, no preview. The kernel's distribution shape and
// distance weighting have no controls.

#include "imagelib/filters/conv_filter.h"
#include "imagelib/view/filter_dialog.h"

#include <array>

namespace lumeno {

class TConvFilterDialog : public TFilterDialog {
public:
    // True when closed with OK.
    bool Execute() { return DoExecute(); }
    void ExecuteAsync(std::function<void(bool)> Done) { DoExecuteAsync(std::move(Done)); }

    void InitTexts() override;
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TConvFilter>(); }
    std::string ValueText1() const override;
    std::string ValueText2() const override;
    void SaveValues() override;
    void RestoreValues() override;
    TConvFilter& GetFilter() const { return static_cast<TConvFilter&>(GetFilterObject()); }

    Extended GetStdDeviation() const { return Slider1.Position / 100.0L; }
    void SetStdDeviation(Extended Value);
    int GetPercent() const { return Slider2.Position; }
    void SetPercent(int Value);
    TDistributionShape GetDistributionShape() const { return FDistributionShape; }
    void SetDistributionShape(TDistributionShape Value);
    bool GetUseDistance() const { return FUseDistance; }
    void SetUseDistance(bool Value);

protected:
    // Slider 1 at 0.40..1.30 starting at Position1, slider 2 at 10..100 %
    // starting at Position2; both positions are also the neutral marks.
    TConvFilterDialog(QObject* Owner, int ATitleId, int Position1, int Position2);
    void SetSlider1Range(Extended Min, Extended Max);

    TDistributionShape FDistributionShape = dsGaussian;
    bool FUseDistance = true;

private:
    int FTitleId;
    std::array<int, 2> FKept{};
};

} // namespace lumeno
