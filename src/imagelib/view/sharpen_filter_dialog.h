#pragma once
// The sharpen filter's dialog.

#include "imagelib/view/conv_filter_dialog.h"

namespace lumeno {

class TSharpenFilterDialog : public TConvFilterDialog {
public:
    explicit TSharpenFilterDialog(QObject* Owner = nullptr) : TConvFilterDialog(Owner, 74, 75, 50)
    {
        Initialize();
    }
    void ApplySettings(TPGFilter& Filter) const override
    {
        static_cast<TConvFilter&>(Filter).SetSharpenKernel(FDistributionShape, FUseDistance,
                                                           Slider1.Position / 100.0L, Slider2.Position);
    }
};

} // namespace lumeno
