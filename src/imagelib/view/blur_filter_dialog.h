#pragma once
// The blur filter's dialog: a ring of the given radius instead of a
// distribution.

#include "imagelib/pg_messages.h"
#include "imagelib/view/conv_filter_dialog.h"

#include <algorithm>

namespace lumeno {

class TBlurFilterDialog : public TConvFilterDialog {
public:
    explicit TBlurFilterDialog(QObject* Owner = nullptr) : TConvFilterDialog(Owner, 78, 250, 100)
    {
        SetSlider1Range(0.5L, 5.0L);
        Slider1.Frequency = 50;
        Slider1.CaptionWidth = Slider2.CaptionWidth = 50;
        InitTexts();
        Initialize();
    }
    void InitTexts() override
    {
        TConvFilterDialog::InitTexts();
        Slider1.Caption = GetPGLangStr(77);
    }
    void ApplySettings(TPGFilter& Filter) const override
    {
        static_cast<TConvFilter&>(Filter).SetBlurKernel(Slider1.Position / 100.0L, Slider2.Position);
    }

    Extended GetRadius() const { return Slider1.Position / 100.0L; }
    void SetRadius(Extended Value)
    {
        Slider1.Position = static_cast<int>(Round(std::clamp(Value, 0.5L, 5.0L) * 100));
    }
};

} // namespace lumeno
